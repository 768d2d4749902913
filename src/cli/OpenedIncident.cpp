#include "cli/OpenedIncident.h"

#include "base/Cp1252.h"
#include "base/Message.h"
#include "cli/Verbs.h"
#include "workspace/OpenIncident.h"

#include <cstdio>

namespace pellam::cli {

std::optional<int> OpenIncidentArgument(const std::string& argument, IncidentModel& model)
{
    // The event file is checked as the desktop program checks one named on
    // its command line; the open dialog would hand over a full path.
    const auto eventFile = CheckEventFileArgument(argument);
    if (!eventFile) {
        const std::string& text = eventFile.error().text;
        return Complain(argument, text.substr(text.find(kLineBreak) + 2));
    }
    model.Formats = UserFormats();
    OpenIncident open(model);
    const auto opened = open.Open(eventFile.value());
    // A box's title, text and details (which file and why, every name left
    // out), on stderr: the answer on stdout stays as it is.
    const auto tell = [](const Message& box) {
        std::fprintf(stderr, "%s\n%s\n", box.title.c_str(), ValidUtf8(box.text).c_str());
        if (!box.detail.empty())
            std::fprintf(stderr, "%s\n", ValidUtf8(box.detail).c_str());
    };
    if (!opened) {
        tell(opened.error());
        return kNegative;
    }
    if (const auto& notice = opened.value().notice)
        tell(*notice);
    open.RunToEnd();
    return std::nullopt;
}

IncidentTexts ReadIncidentTextsTelling(const IncidentModel& model)
{
    IncidentTexts texts = ReadIncidentTexts(model);
    for (const DocumentProblem& problem : texts.problems)
        Tell(problem.file, problem.reason);
    return texts;
}

} // namespace pellam::cli
