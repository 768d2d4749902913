#include "checksums/clsCRC.h"

#include "base/Cp1252.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace pellam {

clsCRC::clsCRC()
{
    SetAlgorithm(1);
}

void clsCRC::BuildTable32()
{
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = i;
        for (int k = 0; k < 8; ++k)
            r = (r & 1u) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
        m_table32[i] = r;
    }
    m_built32 = true;
}

void clsCRC::BuildTable16()
{
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = 0;
        std::uint32_t d = i * 256;
        for (int k = 0; k < 8; ++k) {
            r = ((r ^ d) & 0x8000u) ? (2 * r) ^ 0x1021u : 2 * r;
            d *= 2;
        }
        m_table16[i] = r;
    }
    m_built16 = true;
}

void clsCRC::SetAlgorithm(std::int32_t algorithm)
{
    m_crc32 = algorithm != 0;
    if (m_crc32 && !m_built32)
        BuildTable32();
    if (!m_crc32 && !m_built16)
        BuildTable16();
    Clear();
}

void clsCRC::Clear()
{
    m_reg16 = 0;
    m_reg32 = 0xFFFFFFFFu;
}

std::int32_t clsCRC::AddBytes(std::span<const std::uint8_t> bytes)
{
    if (m_crc32) {
        std::uint32_t reg = m_reg32;
        for (const std::uint8_t b : bytes)
            reg = (reg >> 8) ^ m_table32[(reg ^ b) & 0xFFu];
        m_reg32 = reg;
    } else {
        std::uint32_t reg = m_reg16;
        for (const std::uint8_t b : bytes)
            reg = (m_table16[((reg >> 8) ^ b) & 0xFFu] & 0xFFFFu) ^ ((reg & 0xFFu) << 8);
        m_reg16 = reg;
    }
    return value();
}

std::int32_t clsCRC::AddString(std::string_view utf8)
{
    const std::string bytes = EncodeCp1252(utf8);
    return AddBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

std::int32_t clsCRC::CalculateBytes(std::span<const std::uint8_t> bytes)
{
    Clear();
    return AddBytes(bytes);
}

std::int32_t clsCRC::CalculateString(std::string_view utf8)
{
    Clear();
    return AddString(utf8);
}

Result<std::int32_t, int> clsCRC::CalculateFile(const std::string& path)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!f)
        return fail(errno);
    // The whole file is held in memory and checksummed in one pass.
    struct stat st { };
    const bool sized = ::fstat(::fileno(f.get()), &st) == 0 && S_ISREG(st.st_mode);
    std::vector<std::uint8_t> data(sized ? static_cast<std::size_t>(st.st_size) + 1 : 1 << 16);
    std::size_t used = 0;
    for (;;) {
        if (used == data.size())
            data.resize(data.size() * 2); // the file grew while it was read
        const std::size_t got = std::fread(data.data() + used, 1, data.size() - used, f.get());
        used += got;
        if (got == 0)
            break;
    }
    data.resize(used);
    if (std::ferror(f.get()))
        return fail(errno != 0 ? errno : EIO);
    if (data.empty())
        return 0;
    return CalculateBytes(data);
}

std::int32_t clsCRC::value() const
{
    return m_crc32 ? static_cast<std::int32_t>(~m_reg32) : static_cast<std::int32_t>(m_reg16 & 0xFFFFu);
}

void clsCRC::setValue(std::int32_t v)
{
    if (m_crc32)
        m_reg32 = static_cast<std::uint32_t>(v);
    else
        m_reg16 = static_cast<std::uint32_t>(v);
}

} // namespace pellam
