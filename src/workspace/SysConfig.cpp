#include "workspace/SysConfig.h"

#include "base/AsciiCase.h"
#include "base/Cp1252.h"
#include "workspace/DelimitedReader.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace pellam {

Result<std::string, Message> LoadSysConfig(const std::string& locationPath, RoleTable& roles)
{
    const auto failure = fail(Message {
        "Data Load Error", "Error opening Cordane System Configuration Data file.", MessageIcon::Exclamation});
    // The folder already ends with "/"; the doubled separator is harmless.
    auto reader = DelimitedReader::OpenFile(locationPath + "/SGfg.dat");
    if (!reader)
        return failure;
    DelimitedReader& in = reader.value();

    // T T I T*5 T(9) T*3 I*4 T*4
    std::string roleLabel;
    bool ok = in.Skip(2).ok() && in.ReadInt16().ok() && in.Skip(5).ok();
    if (ok) {
        auto v = in.ReadText();
        ok = v.ok();
        if (ok)
            roleLabel = std::move(v).value();
    }
    ok = ok && in.Skip(3).ok();
    for (int i = 0; ok && i < 4; ++i)
        ok = in.ReadInt16().ok();
    ok = ok && in.Skip(4).ok();
    if (!ok)
        return failure;
    if (Utf8Length(roleLabel) > 2)
        roles.RoleNames[0] = roleLabel;
    return roleLabel;
}

bool LoadRoleNames(const std::string& locationPath, RoleTable& roles)
{
    auto reader = DelimitedReader::OpenFile(locationPath + "/SCfg.dat");
    if (!reader)
        return false;
    std::array<std::string, 7> labels;
    for (auto& label : labels) {
        auto v = reader.value().ReadText();
        if (!v)
            return false;
        label = std::move(v).value();
    }
    std::copy(labels.begin(), labels.end(), roles.RoleNames.begin() + 1);
    return true;
}

void SetRoleNames(const std::string& locationPath, RoleTable& roles)
{
    if (LoadRoleNames(locationPath, roles))
        return;
    if (Utf8Length(roles.RoleName0) < 2)
        roles.RoleName0 = "Subject";
    roles.RoleNames[0] = roles.RoleName0;
    static const char* const kDefaults[7] = {"Family", "Hostage", "Involved", "Other", "Parent", "Victim", "Witness"};
    for (std::size_t i = 0; i < 7; ++i)
        roles.RoleNames[i + 1] = kDefaults[i];
}

void LoadAttachmentList(const std::string& attachPath, AttachmentList& list)
{
    auto reader = DelimitedReader::OpenFile(attachPath + "/ATCH.lst");
    if (!reader)
        return;
    DelimitedReader& in = reader.value();
    auto count = in.ReadInt16();
    if (!count)
        return;
    list.AttachCount = count.value();
    list.entries.clear();
    const int n = std::min<int>(list.AttachCount, AttachmentList::kMaxEntries);
    for (int i = 0; i < n; ++i) {
        AttachmentEntry e;
        int got = 0;
        for (std::string* field : {&e.Description, &e.FileType, &e.FileName, &e.ApproxSize}) {
            auto v = in.ReadText();
            if (!v)
                break;
            *field = std::move(v).value();
            ++got;
        }
        // A group cut short keeps the fields read so far, as the list held them.
        if (got > 0)
            list.entries.push_back(std::move(e));
        if (got < 4)
            return;
    }
}

std::string FileCategory(const std::string& extension)
{
    if (extension.empty())
        return "Unknown";
    const std::string x = AsciiLower(extension);
    if (x.find('.') != std::string::npos)
        return "Unknown";

    // Category word, then its extensions separated by blanks.
    static const char* const kTable[][2] = {
        {"Audio File", "mp3 acc wav wma m3u aif iff m4u mid amr ogg ra"},
        {"Video File", "mpg wmv 3g2 3gp asf asx avi flv m4v mov mp4 rm srt swf vob"},
        {"Photo", "jpg jpeg bmp png raw gif tif"},
        {"Application", "exe"},
        {"Excel", "xlsx xlw xls xlr"},
        {"Acrobat DOC", "pdf"},
        {"Visio Drawing", "vsd"},
        {"Archive", "zip"},
        {"DataBase", "mdb"},
        {"Log File", "log"},
        {"Outlook MSG", "msg"},
        {"Text DOC", "odt wpd wps doc docx txt rtf"},
        {"AutoCAD Drawing", "dwg"},
        {"Drawing", "dxf"},
        {"Web File", "http asp aspx cer cfm css htm php"},
        {"Java Script", "js"},
        {"Java SP", "jsp"},
        {"Rich Site Sum", "rss"},
        {"Font", "fnt"},
        {"TEMP File", "tmp"},
        {"Binary File", "bin"},
    };
    for (const auto& row : kTable) {
        std::string_view exts = row[1];
        while (!exts.empty()) {
            const auto blank = exts.find(' ');
            if (exts.substr(0, blank) == x)
                return row[0];
            exts = blank == std::string_view::npos ? std::string_view() : exts.substr(blank + 1);
        }
    }
    return AsciiUpper(x);
}

} // namespace pellam
