#pragma once
// The one reader of the incident system's delimited text files (event file,
// "SGfg.dat", "SCfg.dat", "ATCH.lst", "TxT.dat"): values separated by commas
// or line breaks (CR LF, LF or CR); a value in double quotes keeps its commas
// and line breaks and loses its quotes; leading blanks of a value are skipped;
// integers are decimal numbers in -32768..32767. Texts are decoded from
// Windows-1252. The file is read lazily, so a huge file costs only what is read.
#include "base/Result.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace pellam {

enum class ReadError {
    CannotOpen, // the file is missing or unreadable
    PrematureEnd, // a value was asked for after the last one
    TypeMismatch, // an integer value that is not a decimal number
    Overflow, // an integer value outside -32768..32767
    ReadFailed, // the file could not be read further
};

class DelimitedReader {
public:
    static Result<DelimitedReader, ReadError> OpenFile(const std::string& path);
    static DelimitedReader FromText(std::string bytes);

    DelimitedReader(DelimitedReader&&) noexcept;
    DelimitedReader& operator=(DelimitedReader&&) noexcept;
    ~DelimitedReader();

    Result<std::string, ReadError> ReadText();
    Result<std::int16_t, ReadError> ReadInt16();

    // Reads and discards n text values.
    Result<bool, ReadError> Skip(int n);

private:
    DelimitedReader();
    int Peek();
    int Get();
    bool Fill();
    // Raw bytes of the next value, quotes removed.
    Result<std::string, ReadError> ReadRaw();

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_file {nullptr, &std::fclose};
    std::string m_buf;
    std::size_t m_pos = 0;
    bool m_eof = false;
    bool m_readFailed = false;
    bool m_afterComma = false; // the last value ended at a comma: another value follows
};

} // namespace pellam
