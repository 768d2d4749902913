#pragma once
// A small JSON writer for pellam-cli: one object per answer, keys in the order
// written, strings escaped as JSON wants (texts are UTF-8 already).
#include <cstdint>
#include <string>
#include <string_view>

namespace pellam::cli {

class Json {
public:
    Json& BeginObject();
    Json& EndObject();
    Json& BeginArray();
    Json& EndArray();
    Json& Key(std::string_view key);
    Json& String(std::string_view s);
    Json& Number(std::int64_t n);
    // With three decimals, a point whatever the locale.
    Json& Number(double x);
    Json& Bool(bool b);
    Json& Null();

    // Key and value in one call.
    Json& Field(std::string_view key, std::string_view s) { return Key(key).String(s); }
    Json& Field(std::string_view key, const char* s) { return Key(key).String(s); }
    Json& Field(std::string_view key, const std::string& s) { return Key(key).String(s); }
    Json& Field(std::string_view key, std::int64_t n) { return Key(key).Number(n); }
    Json& Field(std::string_view key, int n) { return Key(key).Number(std::int64_t {n}); }
    Json& Field(std::string_view key, double x) { return Key(key).Number(x); }
    Json& Field(std::string_view key, bool b) { return Key(key).Bool(b); }

    const std::string& str() const { return m_out; }

private:
    void Separate();
    std::string m_out;
    bool m_needComma = false;
};

std::string JsonEscape(std::string_view s);

} // namespace pellam::cli
