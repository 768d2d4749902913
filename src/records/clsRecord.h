#pragma once
// The records file of an incident: fixed-length slots, each a 2-byte
// little-endian length and that many Windows-1252 bytes. Slot 1 holds the slot
// length, slots 1..11 the header texts, then every person's 33 texts role by
// role, then a trailer slot (absent in the backup file).
#include "base/Result.h"
#include "base/SystemError.h"
#include "records/RecordTable.h"
#include "workspace/RoleTable.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pellam {

// What a load read: the persons, and where a file cut short ends.
struct RecordLoad {
    int persons = 0;
    // Header and person slots the file's counts call for (the trailer aside).
    std::int64_t slotCount = 0;
    // The first of them the file does not hold whole, from 1; 0 when it holds all.
    std::int64_t cutAtSlot = 0;

    // A sentence for the examiner when the file is cut short.
    std::optional<std::string> CutShortNote() const;
};

// Receives each text a read of the records file hands out, as soon as it is
// read: header text i as (0, 0, 0, i), a person's texts as (role, person,
// page, field), the trailer as (8, 100, 3, 10).
using RecordTextSink = std::function<void(int role, int person, int page, int field, std::string&& text)>;

class clsRecord {
public:
    const std::string& RecordPath() const { return m_path; }
    void SetRecordPath(std::string path) { m_path = std::move(path); }

    // Fills `table` from the file and gives the number of persons read. A
    // file cut short loads: the slots it does not reach read as empty texts,
    // and the result says where it ends. On success the file's role-0 label
    // (header text 10) becomes roles.RoleName0 and roles.RoleNames[0]. On
    // failure the table keeps what was read so far and `roles` is untouched;
    // the error is the system's when the file could not be opened or read,
    // and says what is damaged (number 0) when its content is at fault.
    Result<RecordLoad, SystemError> RECORDLOAD(RecordTable& table, RoleTable& roles) const;

    // As RECORDLOAD, with every slot checked as it checks them, but only the
    // header texts are read and kept: the same success or failure and the
    // same role-0 label, at the cost of a few bytes per slot whatever the
    // file's size (the statistics page needs the label alone).
    Result<RecordLoad, SystemError> RECORDHEADER(std::array<std::string, 11>& header, RoleTable& roles) const;

    // The file read as RECORDLOAD reads it, each text handed to `sink`
    // instead of a table, so that a reader can take the persons one by one.
    // With `personTexts` false the person and trailer slots are only checked.
    Result<RecordLoad, SystemError> ReadSlots(const RecordTextSink& sink, bool personTexts = true) const;

    // Slot length for writing: the longest text of roles 0..7 plus 50, at least 150.
    static std::int32_t SlotLength(const RecordTable& table);

    // RecordPath with its last four characters replaced by ".bak"; nothing
    // when the path is shorter than four characters.
    std::optional<std::string> BackupPath() const;

    // Number of persons of role k (0..7) from header text k + 1: empty is 0, a
    // negative count is 0; nothing when the text is not a number or above 100.
    static std::optional<int> PersonCount(const RecordTable& table, int role);
    // The same of a count text.
    static std::optional<int> PersonCount(std::string_view text);

    // The trailer text the main file ends with (UTF-8).
    static const std::string& TrailerText();

    static constexpr int kHeaderSlots = 11;
    static constexpr int kWrittenRoles = 8; // roles 0..7 hold persons; role 8 only the trailer place

private:
    std::string m_path;
};

} // namespace pellam
