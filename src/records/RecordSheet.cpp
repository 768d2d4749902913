#include "records/RecordSheet.h"

#include "base/FileDescriptor.h"
#include "base/PathText.h"
#include "records/RecordFields.h"

#include <array>

#include <algorithm>
#include <optional>

namespace pellam {
namespace {

const std::string kSheetRule(92, '_');
constexpr const char* kNoData = "(No Data Available for this section)";

std::optional<int> Number(const std::string& text, std::size_t from, std::size_t count)
{
    if (from + count > text.size() || count == 0)
        return std::nullopt;
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Appends runs at the end of the sheet; alignment, size and bold stay in
// force until changed. A section remembers whether it has shown anything.
class SheetWriter {
public:
    explicit SheetWriter(RichDocument& doc) : m_doc(doc) { }

    SheetWriter& Align(Alignment a)
    {
        m_alignment = a;
        m_doc.SetAlignment(a);
        return *this;
    }
    SheetWriter& Size(int halfPoints)
    {
        m_format.halfPoints = halfPoints;
        return *this;
    }
    SheetWriter& Bold(bool on)
    {
        m_format.bold = on;
        return *this;
    }
    // Text with "\n" for line breaks.
    SheetWriter& Text(std::string_view text, std::string picture = {})
    {
        for (std::size_t start = 0;;) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            if (end > start)
                m_doc.Append(FromUtf8(text.substr(start, end - start)), m_format, picture);
            if (end == text.size())
                return *this;
            m_doc.NewParagraph(m_alignment);
            start = end + 1;
        }
    }
    // A labelled value: the label in bold, the value (and what follows it) not.
    void Field(const std::string& value, std::string_view label, std::string_view after)
    {
        if (value.empty())
            return;
        if (!label.empty())
            Bold(true).Text(label);
        Bold(false).Text(value).Text(after);
        m_lineData = true;
    }
    void CloseLine(std::string_view close = "\n")
    {
        if (!m_lineData)
            return;
        m_sectionData = true;
        m_lineData = false;
        Text(close);
    }
    void SectionEnd()
    {
        if (!m_sectionData)
            Align(Alignment::Center).Text(std::string(kNoData) + "\n").Align(Alignment::Left);
        m_sectionData = m_lineData = false;
    }
    void Heading(std::string_view title)
    {
        Align(Alignment::Center).Size(17).Text(kSheetRule + "\n");
        Size(28).Bold(true).Text(std::string(title) + "\n");
        Align(Alignment::Left).Size(20).Text("\n");
    }

private:
    RichDocument& m_doc;
    CharFormat m_format;
    Alignment m_alignment = Alignment::Left;
    bool m_lineData = false;
    bool m_sectionData = false;
};

} // namespace

std::string PersonAge(const std::string& dob, const std::string& today)
{
    if (today.size() < 4 || dob.size() < 4)
        return std::string();
    std::optional<int> month, day;
    if (today.size() == 8) {
        month = Number(today, 0, 1);
        day = Number(today, 2, 1);
    } else if (today.size() == 10) {
        month = Number(today, 0, 2);
        day = Number(today, 3, 2);
    } else if (today[1] == '/') {
        month = Number(today, 0, 1);
        day = Number(today, 2, 2);
    } else {
        month = Number(today, 0, 2);
        day = Number(today, 3, 1);
    }
    const auto year = Number(today, today.size() - 4, 4);
    const auto bornMonth = Number(dob, 0, 2), bornDay = Number(dob, 3, 2), bornYear = Number(dob, dob.size() - 4, 4);
    if (!month || !day || !year || !bornMonth || !bornDay || !bornYear)
        return std::string();
    const bool beforeBirthday = *month < *bornMonth || (*month == *bornMonth && *day < *bornDay);
    return std::to_string(*year - *bornYear - (beforeBirthday ? 1 : 0));
}

PhotoCheck CheckPhoto(const std::string& photoFile, const FolderPath& picPath)
{
    if (photoFile.empty())
        return {{}, kPhotoNotAvailable, {}};
    const auto path = NameInFolder(picPath, photoFile);
    if (!path)
        return {{}, kPhotoLoadError, NameRefusalReason(path.error(), photoFile, picPath)};
    const auto fd = FileDescriptor::OpenForReading(path.value());
    if (!fd)
        return {{}, kPhotoLoadError, path.value() + ": " + fd.error().text};
    std::array<unsigned char, 4> head {};
    const auto starts = [&](std::initializer_list<unsigned char> magic) {
        return std::equal(magic.begin(), magic.end(), head.begin());
    };
    const bool picture = fd.value().ReadExactlyAt(0, head.data(), head.size())
        && (starts({0xFF, 0xD8, 0xFF}) || starts({0x89, 'P', 'N', 'G'}) || starts({'G', 'I', 'F', '8'})
            || starts({'B', 'M'}));
    if (!picture)
        return {{}, kPhotoLoadError, path.value() + ": not a JPEG, PNG, GIF or BMP picture"};
    return {path.value(), {}, {}};
}

std::string SheetCaption(const RecordTable& table, std::int16_t role, std::int16_t person)
{
    return " Record Viewer:  Viewing " + FieldText(table, role, person, "Name");
}

RichDocument Fillerup(const RecordTable& table, const RoleTable& roles, std::int16_t role, std::int16_t person,
    const std::string& photoNote, const std::string& today)
{
    const auto field = [&](const char* name) { return FieldText(table, role, person, name); };
    const std::string dob = field("DOB");
    const std::string age = dob.empty() ? std::string() : PersonAge(dob, today);

    RichDocument sheet;
    SheetWriter out(sheet);
    out.Align(Alignment::Center).Size(24).Text(roles.RoleName(role) + " Record Sheet for\n");
    out.Bold(true).Size(36).Text(DisplayName(table, role, person) + "\n");
    out.Size(16);
    if (!photoNote.empty())
        out.Text("\n(" + photoNote + ")");
    else
        out.Text("[photo]", kSheetPhoto);
    out.Text("\n");
    out.Size(20).Text("ID#: " + field("IdNumber") + "\n");

    out.Heading("DESCRIPTORS:");
    out.Field(field("Sex"), "Sex: ", "     ");
    out.Field(field("Race"), "Race: ", "     ");
    out.Field(dob, "DOB: ", age.empty() ? "    " : " (" + age + "yrs)    ");
    out.Field(field("Height"), "Ht: ", "     ");
    out.Field(field("Weight"), "Wt: ", "     ");
    out.Field(field("Hair"), "Hair: ", "     ");
    out.Field(field("Eyes"), "Eyes: ", "");
    out.CloseLine();
    if (const std::string marks = field("ScarsMarksTattoos"); !marks.empty()) {
        out.Bold(true).Text("Scars, Marks and Tattoos:\n");
        out.Field(marks, "", "");
        out.CloseLine();
    }
    out.SectionEnd();

    const auto blocks = [&](std::initializer_list<std::pair<const char*, const char*>> list) {
        for (const auto& [name, label] : list)
            out.Field(field(name), std::string(label) + "\n", "\n");
        out.CloseLine();
    };
    out.Heading("PERSONAL INFORMATION:");
    out.Field(field("Phone"), "Phone Number: ", "     ");
    out.Field(field("CellPhone"), "Cell Phone Number: ", "");
    out.CloseLine();
    out.Field(field("Address"), "Address: ", "");
    out.CloseLine();
    out.Field(field("City"), "City: ", "     ");
    out.Field(field("State"), "State: ", "     ");
    out.Field(field("ZIP"), "ZIP: ", "");
    out.CloseLine("\n\n");
    out.Field(field("DriversLicense"), "Driver's License Number: ", "\n");
    out.Field(field("SSN"), "Social Security Number: ", "\n");
    out.Field(field("CIINumber"), "CII Number: ", "\n");
    out.Field(field("FBINumber"), "FBI Number: ", "\n");
    out.Field(field("DOCNumber"), "DOC Number: ", "\n");
    out.CloseLine();
    blocks(
        {{"MentalHealth", "Mental Health History:"}, {"Medications", "Known Medications/Narcotic Use/Alcohol Use:"}});
    out.SectionEnd();

    out.Heading("PRIOR CONTACT HISTORY:");
    blocks({{"WeaponsRegistered", "Weapons Registered:"}, {"GangAffiliation", "Gang Affiliation"},
        {"PriorContacts", "Prior Contacts:"}});
    out.SectionEnd();

    if (const std::string involvement = field("Involvement"); !involvement.empty()) {
        out.Heading("INVOLVEMENT INFO:");
        out.Bold(true).Text(involvement + "\n");
    }
    return sheet;
}

} // namespace pellam
