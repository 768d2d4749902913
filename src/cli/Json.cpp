#include "cli/Json.h"

#include <cmath>
#include <cstdlib>

#include "base/Cp1252.h"

#include <cstdio>

namespace pellam::cli {

std::string JsonEscape(std::string_view s)
{
    // Names from the file system may be any bytes; JSON text must be UTF-8.
    std::string out = "\"";
    for (char c : ValidUtf8(s)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += buf;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

void Json::Separate()
{
    if (m_needComma)
        m_out += ',';
    m_needComma = true;
}

Json& Json::BeginObject()
{
    Separate();
    m_out += '{';
    m_needComma = false;
    return *this;
}
Json& Json::EndObject()
{
    m_out += '}';
    m_needComma = true;
    return *this;
}
Json& Json::BeginArray()
{
    Separate();
    m_out += '[';
    m_needComma = false;
    return *this;
}
Json& Json::EndArray()
{
    m_out += ']';
    m_needComma = true;
    return *this;
}

Json& Json::Key(std::string_view key)
{
    Separate();
    m_out += JsonEscape(key);
    m_out += ':';
    m_needComma = false;
    return *this;
}

Json& Json::String(std::string_view s)
{
    Separate();
    m_out += JsonEscape(s);
    return *this;
}
Json& Json::Number(std::int64_t n)
{
    Separate();
    m_out += std::to_string(n);
    return *this;
}
Json& Json::Number(double x)
{
    Separate();
    const std::int64_t thousandths = std::llround(x * 1000.0);
    const std::int64_t whole = thousandths / 1000;
    const std::int64_t part = std::llabs(thousandths % 1000);
    m_out += (thousandths < 0 && whole == 0 ? "-" : "") + std::to_string(whole) + "."
        + std::string(part < 100 ? (part < 10 ? 2 : 1) : 0, '0') + std::to_string(part);
    return *this;
}
Json& Json::Bool(bool b)
{
    Separate();
    m_out += b ? "true" : "false";
    return *this;
}
Json& Json::Null()
{
    Separate();
    m_out += "null";
    return *this;
}

} // namespace pellam::cli
