#pragma once
// The incident's text conversations: the index "TxT.dat" in the evidence
// folder, the conversation documents beside it, the phone numbers as the
// viewer shows them, and the received files named in square brackets in a
// conversation's text.
#include "base/FolderPath.h"
#include "base/Result.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

struct ConversationSlot {
    bool active = false;
    std::string contact;
    std::string phone;
    bool operator==(const ConversationSlot&) const = default;
};

// Slots 0..4; slots 1..4 are shown, slot n on tab n - 1.
struct ConversationIndex {
    static constexpr int kSlots = 5;
    static constexpr int kConversations = 4;
    std::array<ConversationSlot, kSlots> entries;
};

enum class TxtDatError {
    Unreadable, // missing, a folder, a device, or shorter than 7 bytes
    Truncated, // fewer than four records
    BadRecord, // a record with fewer than four fields, or a slot number that is not 0..4
    BadFlag, // an active flag that is neither true, false nor a number
};

// Reads the four records of "TxT.dat": each a value of the delimited text
// form with the fields slot|active|contact|phone. Any fault gives an error and
// no conversation at all.
Result<ConversationIndex, TxtDatError> ReadConversationIndex(const std::string& path);
Result<ConversationIndex, TxtDatError> ParseConversationIndex(std::string bytes);

// A boolean text: "true" or "false" in any letter case, or a decimal number
// (0 is false), blanks around it allowed; nullopt for anything else.
std::optional<bool> TextToBoolean(std::string_view text);

// The document of conversation `slot` (1..4) in the evidence folder.
std::string ConversationFile(const FolderPath& evidenceFolder, const std::string& caseNumber, int slot);

// A phone number's digits laid out as "555-1234" (fewer than 8 digits),
// "(555) 123-4567" (10) or "1(555) 123-4567" (8, 9 or more than 10). The
// digits fill the placeholders from the left, placeholders left over show a
// blank, and digits beyond the last placeholder follow at the end. An empty
// text stays empty.
std::string FormatPhone(std::string_view text);

// A received file's name in square brackets around a click.
struct BracketedName {
    std::int32_t start = 0; // first character of the name
    std::int32_t end = 0; // the closing bracket
    std::string name; // UTF-8
};

// Looks for "]" at the click and up to 20 characters after it, then for "["
// up to 20 characters before it; the text between is the name. Positions are
// document positions (a line break counts two).
std::optional<BracketedName> FindBracketedName(std::u16string_view text, std::int32_t click);

// A name may be opened when the part after its first "." (a leading "0" of a
// four-character part dropped) is an extension with a file category.
bool CheckAttachmentName(std::string_view name);

} // namespace pellam
