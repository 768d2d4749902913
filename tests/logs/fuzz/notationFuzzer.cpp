// The notation scans on any text at any caret: the first four bytes are the
// caret, the rest the log's text (Windows-1252, so the fuzzer reaches labels
// and headers byte by byte). Every scan ends and stays inside the text, and
// the one-pass answer for a whole log agrees with the one at a time.
#include "logs/NotationLink.h"
#include "richtext/CodePage.h"

#include <cstdlib>
#include <cstring>
#include <tuple>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    std::int32_t caret = 0;
    std::memcpy(&caret, data, 4);
    const std::u16string text
        = pellam::DecodeCodePage(1252, std::string_view(reinterpret_cast<const char*>(data) + 4, size - 4));
    const auto length = static_cast<std::int64_t>(text.size());
    const auto note = pellam::NotationAtCaret(text, caret);
    const std::int32_t s = pellam::FindLineStart(text, caret);
    const std::int32_t e = pellam::FindHeaderEnd(text, s);
    pellam::MP3LT click;
    click.CarrotPOS = caret;
    const bool name = pellam::LandedMP3(text, "4711", click);
    if ((note && (!note->NoteAudioMP3.ends_with(".mp3") || note->NoteAudioStart < 0)) || s < 0
        || s > std::max<std::int64_t>(caret, 0) + 10 || e < 0 || e > length
        || (name && (click.Start < 0 || click.Stop > length || !click.Name.starts_with("4711"))))
        std::abort();
    // The one-pass answer for many carets is the same as the one at a time.
    const auto together = pellam::NotationsAtCarets(text, {caret}).front();
    if (together.has_value() != note.has_value()
        || (note
            && std::tie(together->NoteAudioMP3, together->NoteAudioTime, together->NoteAudioStart)
                != std::tie(note->NoteAudioMP3, note->NoteAudioTime, note->NoteAudioStart)))
        std::abort();
    (void)pellam::LandedNOTE(text, caret);
    return 0;
}
