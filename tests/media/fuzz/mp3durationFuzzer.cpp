// Any bytes as an MP3 recording: the frame scan ends, gives a rate MPEG audio
// has, and no more samples than frames of at least 24 bytes could carry.
#include "support/FuzzInput.h"
#include "media/Mp3Duration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    const std::string path = pellam::fuzz::InputFile(data, size, "input.mp3");
    if (const auto length = pellam::ScanMp3(path)) {
        Require(length->rate >= 8000 && length->rate <= 48000, "a rate MPEG audio does not have");
        Require(length->samples >= 0 && length->samples <= static_cast<std::int64_t>(size / 24 + 1) * 1152,
            "more samples than the file can carry");
    }
    const std::string text = pellam::Mp3DurationText(path);
    Require(text.size() >= 5 && text[text.size() - 3] == ':', "a duration text that is not mm:ss");
    return 0;
}
