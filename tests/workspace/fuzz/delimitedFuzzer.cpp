// Any bytes as a delimited text file, read as texts and numbers in the order
// the input's own bytes choose. Every read ends, no value holds more than the
// bytes it came from (three UTF-8 bytes per Windows-1252 byte at most), and
// there are never more values than delimiters plus one.
#include "support/FuzzInput.h"
#include "workspace/DelimitedReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    auto in = pellam::DelimitedReader::FromText(std::string(reinterpret_cast<const char*>(data), size));
    std::size_t values = 0, textBytes = 0;
    for (std::size_t i = 0;; ++i) {
        const bool number = size > 0 && (data[i % size] & 1);
        if (number ? !in.ReadInt16() : false)
            break;
        if (!number) {
            auto text = in.ReadText();
            if (!text)
                break;
            textBytes += text.value().size();
        }
        Require(++values <= size + 1, "more values than the text can hold");
    }
    Require(textBytes <= 3 * size, "texts longer than their bytes allow");
    return 0;
}
