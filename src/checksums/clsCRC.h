#pragma once
// CRC-32 (reflected IEEE 802.3, as file formats and networks use it) and
// CRC-16 (polynomial 0x1021, most significant bit first) over bytes, texts
// and files. The recording list shows each recording's CRC-32 so that it can
// be compared with the value the incident system noted when it made the file.
#include "base/Result.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pellam {

class clsCRC {
public:
    clsCRC(); // CRC-32 selected

    // Nonzero selects CRC-32, 0 selects CRC-16; builds that table once; clears.
    void SetAlgorithm(std::int32_t algorithm);
    // -1 for CRC-32, 0 for CRC-16.
    std::int32_t Algorithm() const { return m_crc32 ? -1 : 0; }

    void Clear();
    std::int32_t AddBytes(std::span<const std::uint8_t> bytes);
    // The text's bytes in the Windows-1252 code page.
    std::int32_t AddString(std::string_view utf8);
    std::int32_t CalculateBytes(std::span<const std::uint8_t> bytes);
    std::int32_t CalculateString(std::string_view utf8);
    // Reads the whole file in one piece; an empty file gives 0. Fails with the
    // system error number when the file cannot be read.
    Result<std::int32_t, int> CalculateFile(const std::string& path);

    // CRC-32: the register inverted; CRC-16: its low 16 bits.
    std::int32_t value() const;
    void setValue(std::int32_t v);

private:
    void BuildTable32();
    void BuildTable16();

    bool m_crc32 = true;
    std::uint32_t m_reg32 = 0xFFFFFFFFu;
    std::uint32_t m_reg16 = 0;
    std::array<std::uint32_t, 256> m_table32 {};
    std::array<std::uint32_t, 256> m_table16 {};
    bool m_built32 = false;
    bool m_built16 = false;
};

} // namespace pellam
