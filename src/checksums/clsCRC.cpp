#include "checksums/clsCRC.h"

#include "base/Cp1252.h"
#include "base/FileDescriptor.h"

#include <isa-l/crc.h>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <memory>

namespace pellam {
namespace {

// CRC-16 tables for eight bytes per step: entry k of byte x is the register
// after x followed by k zero bytes, starting from 0. Entry 0 is the one-byte
// table: r = 0, d = x * 256, eight times r = 2r (XOR 0x1021 when bit 15 of
// r XOR d is set), d = 2d.
constexpr std::array<std::array<std::uint16_t, 256>, 8> MakeTables16()
{
    std::array<std::array<std::uint16_t, 256>, 8> t {};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t r = 0;
        std::uint32_t d = i * 256;
        for (int k = 0; k < 8; ++k) {
            r = ((r ^ d) & 0x8000u) ? (2 * r) ^ 0x1021u : 2 * r;
            d *= 2;
        }
        t[0][i] = static_cast<std::uint16_t>(r);
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t i = 0; i < 256; ++i) {
            const std::uint32_t prev = t[k - 1][i];
            t[k][i] = static_cast<std::uint16_t>(t[0][prev >> 8] ^ ((prev & 0xFFu) << 8));
        }
    return t;
}
constexpr auto kTables16 = MakeTables16();

std::uint32_t Crc16Bytes(std::uint32_t reg, const std::uint8_t* p, std::size_t n)
{
    // Only the register's low 16 bits reach the result of a byte, whatever
    // setValue put above them.
    reg &= 0xFFFFu;
    const auto& t = kTables16;
    for (; n >= 8; n -= 8, p += 8) {
        reg = t[7][p[0] ^ (reg >> 8)] ^ t[6][p[1] ^ (reg & 0xFFu)] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]]
            ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        reg = t[0][((reg >> 8) ^ *p) & 0xFFu] ^ ((reg & 0xFFu) << 8);
    return reg;
}

} // namespace

clsCRC::clsCRC()
{
    SetAlgorithm(1);
}

void clsCRC::SetAlgorithm(std::int32_t algorithm)
{
    m_crc32 = algorithm != 0;
    Clear();
}

void clsCRC::Clear()
{
    m_reg16 = 0;
    m_reg32 = 0xFFFFFFFFu;
}

std::int32_t clsCRC::AddBytes(std::span<const std::uint8_t> bytes)
{
    if (!bytes.empty()) {
        if (m_crc32) {
            // The library takes and returns the inverted register (the CRC
            // value so far), so a value can be carried from call to call.
            m_reg32 = ~crc32_gzip_refl(~m_reg32, bytes.data(), bytes.size());
        } else {
            m_reg16 = Crc16Bytes(m_reg16, bytes.data(), bytes.size());
        }
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

Result<std::int32_t, SystemError> clsCRC::CalculateFile(const std::string& path, std::stop_token stop)
{
    auto fd = FileDescriptor::OpenForReading(path);
    if (!fd)
        return fail(fd.error());
    ::posix_fadvise(fd.value().get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // An empty file gives 0 and a failed reading gives an error, both with
    // the registers as they were before the call.
    const std::uint32_t before32 = m_reg32;
    const std::uint32_t before16 = m_reg16;
    auto restore = [&] {
        m_reg32 = before32;
        m_reg16 = before16;
    };
    // One block, reused; the file is read to its end even when it grows meanwhile.
    const auto block = std::make_unique_for_overwrite<std::uint8_t[]>(kFileBlock);
    std::uint64_t total = 0;
    Clear();
    for (;;) {
        if (stop.stop_requested()) {
            restore();
            return fail(SystemError(ECANCELED));
        }
        const std::int64_t got = fd.value().ReadSome(block.get(), kFileBlock);
        if (got < 0) {
            const int error = errno != 0 ? errno : EIO;
            restore();
            return fail(SystemError(error));
        }
        if (got == 0)
            break;
        total += static_cast<std::uint64_t>(got);
        AddBytes({block.get(), static_cast<std::size_t>(got)});
    }
    if (total == 0) {
        restore();
        return 0;
    }
    return value();
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
