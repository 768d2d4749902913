// pellam-cli verify EVT: the CRC integrity report of an incident as plain
// text, line by line as the statistics window shows it. Exit 0 when every
// recording passed, 1 when any failed or a recording the Main Log lists is not
// in the folder as a regular file (each such name on stderr), 2 when the test
// could not run.
#include "analysis/CRCTest.h"
#include "analysis/ReportWriter.h"
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
    const auto test = CRCTest::Of(CrcTestInputOf(model));
    if (const auto refused = test->Run()) {
        std::fprintf(stderr, "%s\n%s\n", refused->title.c_str(), refused->text.c_str());
        return kBadInput;
    }
    const std::string text = PlainLines(test->Report());
    std::fwrite(text.data(), 1, text.size(), stdout);
    const auto unheld = UnheldNotice(test->Unheld());
    if (unheld) {
        // One line per recording, as lines end on stderr.
        std::string notice;
        for (const char c : unheld->text)
            if (c != '\r')
                notice += c;
        std::fprintf(stderr, "%s\n", notice.c_str());
    }
    switch (test->Outcome()) {
    case CrcTestOutcome::NoRecordings:
    case CrcTestOutcome::AllPassed:
        return unheld ? kNegative : kOk;
    case CrcTestOutcome::SomeFailed:
        return kNegative;
    default:
        return kBadInput; // not ended, or the Main Log could not be read
    }
}

const VerbRegistrar reg(
    "verify", "EVT", "the CRC integrity report; exit 0 all passed, 1 any failed or missing, 2 not testable", &Run);

} // namespace
} // namespace pellam::cli
