// pellam-cli stats EVT: the statistics page of an incident as plain text,
// line by line as the statistics window shows it.
#include "analysis/ReportWriter.h"
#include "analysis/Statistics.h"
#include "cli/OpenedIncident.h"
#include "cli/Verbs.h"

#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    IncidentModel model;
    if (const auto failed = OpenIncidentArgument(args[0], model))
        return *failed;
    const std::string text = PlainLines(BuildStatistics(StatisticsOf(model)));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kOk;
}

const VerbRegistrar reg("stats", "EVT", "the statistics page as text", &Run);

} // namespace
} // namespace pellam::cli
