#pragma once
// The record sheet of one person: a rich document built section by section
// from the person's fields, with the photo (or a note in its place), ready to
// be shown, printed or written as text.
#include "base/FolderPath.h"
#include "records/RecordTable.h"
#include "richtext/RichDocument.h"
#include "workspace/RoleTable.h"

#include <cstdint>
#include <string>

namespace pellam {

inline constexpr const char* kPhotoNotAvailable = "Photo Not Available";
inline constexpr const char* kPhotoLoadError = "Photo Load Error";
// The name of the sheet's picture run; "[photo]" stands for it as text.
inline constexpr const char* kSheetPhoto = "photo";

// Age in whole years on `today` (the system's short date: m/d/yyyy,
// mm/dd/yyyy, m/dd/yyyy or mm/d/yyyy) of a person born on `dob`
// (mm/dd/yyyy); empty when a part is not a number.
std::string PersonAge(const std::string& dob, const std::string& today);

// A person's photo as far as its name and its bytes tell.
struct PhotoCheck {
    std::string path; // the photo's file in the photo folder; empty when refused or absent
    std::string note; // "" (show the photo), "Photo Not Available" or "Photo Load Error"
    std::string reason; // why "Photo Load Error": the file and what was wrong
};

// "Photo Not Available" without a file name; "Photo Load Error" when the name
// is no file of the photo folder `picPath` (it leads out of it or is no plain
// file name: nothing outside the incident is read as its photo), when the
// file cannot be read, or when it does not begin as a JPEG, PNG, GIF or BMP
// picture; no note otherwise.
PhotoCheck CheckPhoto(const std::string& photoFile, const FolderPath& picPath);

// The window caption: " Record Viewer:  Viewing " and the person's Name field.
std::string SheetCaption(const RecordTable& table, std::int16_t role, std::int16_t person);

// The sheet of person [role][person]; photoNote empty places the photo,
// otherwise the note in parentheses.
RichDocument Fillerup(const RecordTable& table, const RoleTable& roles, std::int16_t role, std::int16_t person,
    const std::string& photoNote, const std::string& today);

} // namespace pellam
