// The notation scans on any text at any caret: the first four bytes are the
// caret, the rest the log's text (Windows-1252, so the fuzzer reaches the
// labels and headers byte by byte). Every scan stays in the text and ends.
#include "logs/NotationLink.h"
#include "richtext/CodePage.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::int32_t caret = 0;
    std::memcpy(&caret, data, 4);
    const std::u16string text
        = pellam::DecodeCodePage(1252, std::string_view(reinterpret_cast<const char*>(data) + 4, size - 4));
    const auto length = static_cast<std::int64_t>(text.size());

    if (const auto note = pellam::NotationAtCaret(text, caret)) {
        if (!note->NoteAudioMP3.ends_with(".mp3") || note->NoteAudioStart < 0)
            std::abort();
    }
    const std::int32_t s = pellam::FindLineStart(text, caret);
    const std::int32_t e = pellam::FindHeaderEnd(text, s);
    if (s < 0 || s > std::max<std::int64_t>(caret, 0) + 10 || e < 0 || e > length)
        std::abort();
    if (e > s) {
        const auto header = std::u16string_view(text).substr(static_cast<std::size_t>(s), e - s);
        (void)pellam::IsNotationHeader(header);
        if (const auto scan = pellam::FindHeaderInLog(text, header); scan && *scan > length + 5)
            std::abort();
    }
    (void)pellam::LandedNOTE(text, caret);
    pellam::MP3LT click;
    click.CarrotPOS = caret;
    if (pellam::LandedMP3(text, "4711", click)
        && (click.Start < 0 || click.Stop > length || click.Start > click.Stop || !click.Name.starts_with("4711")))
        std::abort();
    return 0;
}
