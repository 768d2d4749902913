#include "workspace/DelimitedReader.h"

#include "base/Cp1252.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>

namespace pellam {
namespace {
constexpr std::size_t kChunk = 64 * 1024;

bool IsBlank(int c)
{
    return c == ' ' || c == '\t';
}
bool IsLineEnd(int c)
{
    return c == '\r' || c == '\n';
}
} // namespace

DelimitedReader::DelimitedReader() = default;
DelimitedReader::DelimitedReader(DelimitedReader&&) noexcept = default;
DelimitedReader& DelimitedReader::operator=(DelimitedReader&&) noexcept = default;
DelimitedReader::~DelimitedReader() = default;

Result<DelimitedReader, SystemError> DelimitedReader::OpenFile(const std::string& path)
{
    auto opened = FileDescriptor::OpenForReading(path);
    if (!opened)
        return fail(opened.error());
    if (opened.value().Size() > kMaxFileBytes)
        return fail(SystemError(EFBIG));
    DelimitedReader r;
    r.m_file = std::move(opened).value();
    return r;
}

DelimitedReader DelimitedReader::FromText(std::string bytes)
{
    DelimitedReader r;
    r.m_buf = std::move(bytes);
    r.m_eof = true;
    return r;
}

bool DelimitedReader::Fill()
{
    if (m_eof)
        return false;
    m_buf.erase(0, m_pos);
    m_pos = 0;
    const std::size_t old = m_buf.size();
    m_buf.resize(old + kChunk);
    const std::int64_t got = m_file.ReadSome(m_buf.data() + old, kChunk);
    m_buf.resize(old + static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
    if (got < static_cast<std::int64_t>(kChunk)) {
        m_eof = true;
        m_readFailed = got < 0;
    }
    return got > 0;
}

int DelimitedReader::Peek()
{
    if (m_pos >= m_buf.size() && !Fill())
        return EOF;
    return static_cast<unsigned char>(m_buf[m_pos]);
}

int DelimitedReader::Get()
{
    const int c = Peek();
    if (c != EOF)
        ++m_pos;
    return c;
}

Result<std::string, ReadError> DelimitedReader::ReadRaw()
{
    while (IsBlank(Peek()))
        Get();
    if (Peek() == EOF) {
        if (m_readFailed)
            return fail(ReadError::ReadFailed);
        // A trailing comma still announces one (empty) value.
        if (m_afterComma) {
            m_afterComma = false;
            return std::string();
        }
        return fail(ReadError::PrematureEnd);
    }

    std::string value;
    if (Peek() == '"') {
        Get();
        for (;;) {
            const int c = Get();
            if (c == EOF)
                return fail(m_readFailed ? ReadError::ReadFailed : ReadError::PrematureEnd);
            if (c == '"')
                break;
            if (value.size() == kMaxValueBytes)
                return fail(ReadError::TooLong);
            value += static_cast<char>(c);
        }
        // Anything between the closing quote and the delimiter is dropped.
        while (Peek() != EOF && Peek() != ',' && !IsLineEnd(Peek()))
            Get();
    } else {
        while (Peek() != EOF && Peek() != ',' && !IsLineEnd(Peek())) {
            if (value.size() == kMaxValueBytes)
                return fail(ReadError::TooLong);
            value += static_cast<char>(Get());
        }
    }

    m_afterComma = false;
    const int delim = Get();
    if (delim == ',')
        m_afterComma = true;
    else if (delim == '\r' && Peek() == '\n')
        Get();
    return value;
}

Result<std::string, ReadError> DelimitedReader::ReadText()
{
    auto raw = ReadRaw();
    if (!raw)
        return fail(raw.error());
    return DecodeCp1252(raw.value());
}

Result<std::int16_t, ReadError> DelimitedReader::ReadInt16()
{
    auto raw = ReadRaw();
    if (!raw)
        return fail(raw.error());
    std::string_view s = raw.value();
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty() || s.front() == '+')
        return fail(ReadError::TypeMismatch);

    long long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc::result_out_of_range)
        return fail(ReadError::Overflow);
    if (ec != std::errc() || end != s.data() + s.size())
        return fail(ReadError::TypeMismatch);
    if (v < -32768 || v > 32767)
        return fail(ReadError::Overflow);
    return static_cast<std::int16_t>(v);
}

const char* DelimitedReader::Describe(ReadError e)
{
    switch (e) {
    case ReadError::PrematureEnd:
        return "the file ends before this value";
    case ReadError::TypeMismatch:
        return "not a decimal number";
    case ReadError::Overflow:
        return "a number outside -32768..32767";
    case ReadError::ReadFailed:
        return "the file could not be read";
    case ReadError::TooLong:
        return "a value longer than 1 MiB";
    }
    return "";
}

Result<bool, ReadError> DelimitedReader::Skip(int n)
{
    for (int i = 0; i < n; ++i) {
        auto r = ReadRaw();
        if (!r)
            return fail(r.error());
    }
    return true;
}

} // namespace pellam
