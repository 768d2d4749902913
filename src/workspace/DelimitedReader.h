#pragma once
// The one reader of the incident system's delimited text files (event file,
// "SGfg.dat", "SCfg.dat", "ATCH.lst", "TxT.dat"): values separated by commas
// or line breaks (CR LF, LF or CR); a value in double quotes keeps its commas
// and line breaks and loses its quotes; leading blanks of a value are skipped;
// integers are decimal numbers in -32768..32767. Texts are decoded from
// Windows-1252. The file is read lazily, so a huge file costs only what is read;
// a file larger than kMaxFileBytes is refused and a value longer than
// kMaxValueBytes ends the reading, so no file can make a value grow unbounded.
#include "base/FileDescriptor.h"
#include "base/Result.h"
#include "base/SystemError.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pellam {

enum class ReadError {
    PrematureEnd, // a value was asked for after the last one
    TypeMismatch, // an integer value that is not a decimal number
    Overflow, // an integer value outside -32768..32767
    ReadFailed, // the file could not be read further
    TooLong, // a value longer than DelimitedReader::kMaxValueBytes
};

class DelimitedReader {
public:
    // The incident system writes files of a few KiB with short values.
    static constexpr std::int64_t kMaxFileBytes = 64 << 20;
    static constexpr std::size_t kMaxValueBytes = 1 << 20;

    // Opens a regular file; a folder, FIFO or device is refused without waiting
    // on it, a file larger than kMaxFileBytes with EFBIG.
    static Result<DelimitedReader, SystemError> OpenFile(const std::string& path);
    static DelimitedReader FromText(std::string bytes);

    DelimitedReader(DelimitedReader&&) noexcept;
    DelimitedReader& operator=(DelimitedReader&&) noexcept;
    ~DelimitedReader();

    Result<std::string, ReadError> ReadText();
    Result<std::int16_t, ReadError> ReadInt16();

    // Reads and discards n text values.
    Result<bool, ReadError> Skip(int n);

    // A short English description of an error, for messages.
    static const char* Describe(ReadError e);

private:
    DelimitedReader();
    int Peek();
    int Get();
    bool Fill();
    // Raw bytes of the next value, quotes removed.
    Result<std::string, ReadError> ReadRaw();

    FileDescriptor m_file;
    std::string m_buf;
    std::size_t m_pos = 0;
    bool m_eof = false;
    bool m_readFailed = false;
    bool m_afterComma = false; // the last value ended at a comma: another value follows
};

} // namespace pellam
