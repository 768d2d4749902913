#pragma once
// The Main Log's notations and recording labels as plain text: finding the
// notation under a double-click, the elapsed time written in its header and
// the recording that was running then; and the recording name under a single
// click. Every scan reads the document's plain text (line breaks counted as
// two characters) and is bounded, so a click costs the same in any log.
#include "workspace/IncidentModel.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pellam {

// Start of the header line around caret position cp (the separator line
// before it ends with "---" and a line break); 0 = none.
std::int32_t FindLineStart(std::u16string_view text, std::int32_t cp);
// End of the header that starts at s: just after the first ": " found 21 to
// 90 characters into the line; 0 = none.
std::int32_t FindHeaderEnd(std::u16string_view text, std::int32_t s);
// Whether a header is a notation's: at least 20 characters holding " - (".
bool IsNotationHeader(std::u16string_view header);
// NoteScanPos for a header: just past its first occurrence from position 1
// (letter case ignored) plus five; nothing when it lies at 5 or before.
std::optional<std::int32_t> FindHeaderInLog(std::u16string_view text, std::u16string_view header);

// What LandedNOTE found scanning back from NoteScanPos.
struct LandedNote {
    bool NoteAudioFound = false;
    std::string NoteAudioMP3; // the recording's file name
    std::string NoteAudioTime; // "mm:ss" as written
    std::int32_t NoteAudioStart = 0; // whole seconds into the recording
};
LandedNote LandedNOTE(std::u16string_view text, std::int32_t noteScanPos);

// The whole double-click: the recording and the offset a notation at caret
// position cp asks for, or nothing.
std::optional<LandedNote> NotationAtCaret(std::u16string_view text, std::int32_t cp);

// What NotationAtCaret answers for each of many carets of one log, found
// together: the separators, the headers' first occurrences and the recording
// labels are each looked up in one pass over the log instead of one scan from
// the top per notation, so a log with tens of thousands of notations costs
// about as much as reading it once.
std::vector<std::optional<LandedNote>> NotationsAtCarets(
    std::u16string_view text, const std::vector<std::int32_t>& carets);

// The recording a Main Log line announces: the file name after one of the
// incident system's four recording labels ("Recording MP3 File: ", "Forced
// Sub Recording: ", "Recording Covert MIC File: ", "Started Sub Recording
// File ") at the start of the line, to the end of the line without trailing
// blanks; "" when the line announces none.
std::u16string_view AnnouncedRecording(std::u16string_view line);

// The recording number (1-based) of the first list row whose file name is
// exactly `fileName`; 0 when the list does not show it, and then nothing plays.
std::int16_t ListedRecordingNumber(const std::vector<Mp3Record>& rows, std::string_view fileName);

// ListedRecordingNumber for many names: the list's file names looked up
// without a scan of the list each time.
class ListedRecordings {
public:
    explicit ListedRecordings(const std::vector<Mp3Record>& rows);
    std::int16_t Number(std::string_view fileName) const;

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view> {}(s); }
    };
    std::unordered_map<std::string, std::int16_t, Hash, std::equal_to<>> m_numbers;
};

// The recording name under a single click.
struct MP3LT {
    std::int32_t CarrotPOS = 0;
    std::int32_t Start = 0;
    std::int32_t Stop = 0;
    std::string Name;
};
// Finds the name around caret.CarrotPOS; true when it ends with ".mp3" and
// begins with the case number.
bool LandedMP3(std::u16string_view text, const std::string& caseNumber, MP3LT& caret);

// Where a notation's recording starts playing: 10 seconds before the
// notation, or at the start.
inline std::int32_t NotePlaybackPositionMs(std::int32_t noteAudioStart)
{
    return noteAudioStart > 10 ? (noteAudioStart - 10) * 1000 : 0;
}

} // namespace pellam
