#pragma once
// CRC-32 (reflected IEEE 802.3, as file formats and networks use it) and
// CRC-16 (polynomial 0x1021, most significant bit first) over bytes, texts
// and files. The recording list shows each recording's CRC-32 so that it can
// be compared with the value the incident system noted when it made the file.
//
// CRC-32 runs on the carry-less-multiply folding of the ISA-L library (a
// table loop where the processor lacks it); CRC-16 runs eight bytes per step
// on sliced tables. Both give exactly what the one-byte table loop gives.
#include "base/Result.h"
#include "base/SystemError.h"

#include <cstdint>
#include <span>
#include <stop_token>
#include <string>
#include <string_view>

namespace pellam {

class clsCRC {
public:
    clsCRC(); // CRC-32 selected

    // Nonzero selects CRC-32, 0 selects CRC-16; clears.
    void SetAlgorithm(std::int32_t algorithm);
    // -1 for CRC-32, 0 for CRC-16.
    std::int32_t Algorithm() const { return m_crc32 ? -1 : 0; }

    void Clear();
    std::int32_t AddBytes(std::span<const std::uint8_t> bytes);
    // The text's bytes in the Windows-1252 code page.
    std::int32_t AddString(std::string_view utf8);
    std::int32_t CalculateBytes(std::span<const std::uint8_t> bytes);
    std::int32_t CalculateString(std::string_view utf8);
    // Reads the file to its end in blocks of kFileBlock bytes, so memory use
    // does not depend on the file's size; an empty file gives 0. Fails with
    // the system's error when the file cannot be read, and with ECANCELED
    // when `stop` is requested (checked between blocks).
    Result<std::int32_t, SystemError> CalculateFile(const std::string& path, std::stop_token stop = {});

    // CRC-32: the register inverted; CRC-16: its low 16 bits.
    std::int32_t value() const;
    void setValue(std::int32_t v);

    // Small enough to stay in the processor's second-level cache between the
    // read and the checksum, large enough to keep system calls rare.
    static constexpr std::size_t kFileBlock = 256 * 1024;

private:
    bool m_crc32 = true;
    std::uint32_t m_reg32 = 0xFFFFFFFFu;
    std::uint32_t m_reg16 = 0;
};

} // namespace pellam
