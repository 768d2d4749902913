// Any bytes as a RIFF file: a chunk found starts inside the file, after the
// RIFF header, and the walk ends on any sizes.
#include "support/FuzzInput.h"
#include "media/RiffChunk.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto file = pellam::FileDescriptor::OpenForReading(pellam::fuzz::InputFile(data, size, "input.wav"));
    pellam::fuzz::Require(file.ok(), "the input file did not open");
    const auto check = [size](const auto& chunk) {
        if (chunk) {
            pellam::fuzz::Require(
                chunk->start >= 20 && chunk->start <= static_cast<std::int64_t>(size), "a chunk outside the file");
            pellam::fuzz::Require(chunk->length >= 0, "a negative chunk length");
        }
    };
    check(pellam::LocateChunk(file.value(), "data"));
    check(pellam::LocateChunk(file.value(), "fmt "));
    check(pellam::LocateChunk(file.value(), "LIST"));
    return 0;
}
