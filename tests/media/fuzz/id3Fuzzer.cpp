// Any bytes as an MP3's front: the tag reader ends, counts each frame it
// lists, and keeps no more text than the file holds.
#include "support/FuzzInput.h"
#include "media/cMP3ID3v2.h"
#include "base/Cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using pellam::fuzz::Require;
    pellam::cMP3ID3v2 tag;
    Require(tag.SetMP3File(pellam::fuzz::InputFile(data, size, "input.mp3")).ok(), "a regular file refused");
    Require(tag.TagPosition() >= 0 && tag.TagPosition() <= static_cast<std::int64_t>(size) + 1, "tag outside the file");
    std::int64_t frames = 0;
    for (std::int32_t i = 1; i <= tag.FrameCount(); ++i) {
        const std::string id = tag.Frame(i);
        Require(pellam::Utf8Length(id) <= 4 && tag.TagsInFrame(id) > 0, "a listed frame that was not met");
        frames += tag.TagsInFrame(id);
        Require(tag.FrameValue("1:" + id).size() <= 3 * size, "a value longer than the file");
    }
    Require(frames * 6 <= static_cast<std::int64_t>(size), "more frames than headers fit in the file");
    Require(tag.Title().size() + tag.Lyrics().size() + tag.Comment().size() <= 3 * size, "texts longer than the file");
    return 0;
}
