#include "workspace/SysConfig.h"

#include "base/AsciiCase.h"
#include "base/Cp1252.h"
#include "workspace/DelimitedReader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <optional>
#include <string_view>

namespace pellam {

Result<std::string, Message> LoadSysConfig(const FolderPath& locationPath, RoleTable& roles)
{
    const std::string path = locationPath.Join("SGfg.dat");
    // The box's text is fixed; which file and why go into its detail.
    const auto failure = [&path](const std::string& reason) {
        return fail(Message {"Data Load Error", "Error opening Cordane System Configuration Data file.",
            MessageIcon::Exclamation, path + "\n" + reason});
    };
    auto reader = DelimitedReader::OpenFile(path);
    if (!reader)
        return failure(reader.error().text);
    DelimitedReader& in = reader.value();

    // T T I T*5 T(9) T*3 I*4 T*4
    std::optional<ReadError> error;
    const auto skip = [&](int n) {
        if (!error)
            if (auto r = in.Skip(n); !r)
                error = r.error();
    };
    const auto readInt = [&] {
        if (!error)
            if (auto r = in.ReadInt16(); !r)
                error = r.error();
    };
    std::string roleLabel;
    skip(2);
    readInt();
    skip(5);
    if (!error) {
        auto v = in.ReadText();
        if (v)
            roleLabel = std::move(v).value();
        else
            error = v.error();
    }
    skip(3);
    for (int i = 0; i < 4; ++i)
        readInt();
    skip(4);
    if (error)
        return failure(DelimitedReader::Describe(*error));
    if (Utf8Length(roleLabel) > 2)
        roles.RoleNames[0] = roleLabel;
    return roleLabel;
}

bool LoadRoleNames(const FolderPath& locationPath, RoleTable& roles)
{
    auto reader = DelimitedReader::OpenFile(locationPath.Join("SCfg.dat"));
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

void SetRoleNames(const FolderPath& locationPath, RoleTable& roles)
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

Result<std::string, std::string> LoadAttachmentList(const FolderPath& folder, AttachmentList& list)
{
    auto reader = DelimitedReader::OpenFile(folder.Join("ATCH.lst"));
    if (!reader) {
        if (reader.error().number == EFBIG)
            return fail(std::string("it is larger than 64 MiB, more than an attachments list is read"));
        return fail(reader.error().text);
    }
    DelimitedReader& in = reader.value();
    auto count = in.ReadInt16();
    if (!count)
        return fail(std::string("its count: ") + DelimitedReader::Describe(count.error()));
    list.AttachCount = count.value();
    list.entries.clear();
    if (list.AttachCount < 0)
        return "gives " + std::to_string(list.AttachCount) + " as its number of attachments";
    const int n = std::min<int>(list.AttachCount, AttachmentList::kMaxEntries);
    for (int i = 0; i < n; ++i) {
        AttachmentEntry e;
        int got = 0;
        std::optional<ReadError> stopped;
        for (std::string* field : {&e.Description, &e.FileType, &e.FileName, &e.ApproxSize}) {
            auto v = in.ReadText();
            if (!v) {
                stopped = v.error();
                break;
            }
            *field = std::move(v).value();
            ++got;
        }
        // A group cut short keeps the fields read so far, as the list held them.
        if (got > 0)
            list.entries.push_back(std::move(e));
        if (stopped)
            return "ends in its attachment " + std::to_string(i + 1) + " of " + std::to_string(list.AttachCount) + " ("
                + DelimitedReader::Describe(*stopped) + ")";
    }
    if (list.AttachCount > AttachmentList::kMaxEntries)
        return "lists " + std::to_string(list.AttachCount) + " attachments; only the first "
            + std::to_string(AttachmentList::kMaxEntries) + " are shown";
    return std::string();
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
