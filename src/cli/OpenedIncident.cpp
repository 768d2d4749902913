#include "cli/OpenedIncident.h"

#include "base/Cp1252.h"
#include "base/Message.h"
#include "cli/Verbs.h"
#include "workspace/OpenIncident.h"

#include <cstdio>

namespace pellam::cli {

std::optional<int> OpenIncidentArgument(const std::string& argument, Session& session)
{
    // The event file is checked as the desktop program checks one named on
    // its command line; the open dialog would hand over a full path.
    const auto eventFile = CheckEventFileArgument(argument);
    if (!eventFile) {
        const std::string& text = eventFile.error().text;
        return Complain(argument, text.substr(text.find(kLineBreak) + 2));
    }
    session.Formats = UserFormats();
    OpenIncident open(session);
    const auto opened = open.Open(eventFile.value());
    if (!opened) {
        std::fprintf(stderr, "%s\n%s\n", opened.error().title.c_str(), opened.error().text.c_str());
        if (!opened.error().detail.empty()) // which file and why, as the box's details say
            std::fprintf(stderr, "%s\n", ValidUtf8(opened.error().detail).c_str());
        return kNegative;
    }
    // What the list leaves out goes to stderr; the answer on stdout stays as it is.
    if (const auto& notice = opened.value().notice)
        std::fprintf(stderr, "%s\n%s\n", notice->title.c_str(), ValidUtf8(notice->text).c_str());
    open.RunToEnd();
    return std::nullopt;
}

} // namespace pellam::cli
