#pragma once
// An examiner's mark: a note tied to a place in the incident (a moment of a
// recording, a text position of a log or conversation, a person), who wrote
// it and when. Marks live in the program's own store, never in the evidence.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

enum class MarkOn : std::uint8_t { Recording, Document, Conversation, Person };

// "recording", "document", "conversation", "person".
const char* MarkOnName(MarkOn on);
std::optional<MarkOn> MarkOnFromName(std::string_view name);

struct Mark {
    std::int64_t id = 0; // the store's; 0 until stored
    MarkOn on = MarkOn::Recording;
    // A recording's file name and the moment in it.
    std::string recording;
    std::int64_t offsetMs = 0;
    // The document ("MainLog", "NocLog", "AdminLog", "NppReport", a
    // conversation's file name, or "Record:ROLE:PERSON" for a person) and the
    // text position in it (none for a person).
    std::string source;
    std::optional<std::int64_t> position;
    std::string note;
    std::string examiner;
    // Milliseconds since 1970 (UTC); shown as this machine's local time.
    std::int64_t createdMs = 0;
    std::int64_t changedMs = 0;
    // The recording's SHA-256 (lower-case hex) when the mark was made; "" when
    // it was not known.
    std::string recordingSha256;

    bool operator==(const Mark&) const = default;
};

// The name a person's mark gives as its source, as the search names a record sheet.
std::string PersonSource(int role, int person);

// A mark on a recording whose file now holds other content than when the
// mark was made. `currentSha256` is the file's SHA-256 now, nothing when it
// cannot be read (which counts as changed); a mark made before the content
// was known is never stale.
bool IsStale(const Mark& mark, const std::optional<std::string>& currentSha256);

// Now, in milliseconds since 1970.
std::int64_t NowMs();
// A moment as this machine's local wall-clock time, "2026-12-05T14:33:02".
std::string LocalIsoText(std::int64_t ms);

// Who makes marks here: PELLAM_EXAMINER when set, else the login name (the
// window takes the name its printouts remember before the login name).
std::string ExaminerName();

} // namespace pellam
