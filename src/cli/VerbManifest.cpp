// pellam-cli manifest EVT [--dfxml]: the SHA-256 of every regular file under
// the incident's evidence folder, as sha256sum writes it (so `sha256sum -c`
// checks it in that folder), or as a DFXML document with sizes, times and
// CRC-32s. Whatever could not be hashed is named on stderr with the reason,
// and the exit status is then 2; the manifest of the rest is still written.
#include "base/Message.h"
#include "checksums/HashManifest.h"
#include "cli/Verbs.h"
#include "workspace/IncidentPaths.h"
#include "workspace/OpenIncident.h"

#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    const auto read = ReadEventFileWithOption(args, "--dfxml", "unknown option (the one there is: --dfxml)");
    if (!read)
        return kBadInput;
    const std::string& evt = read->eventFile;
    const bool dfxml = read->option;
    const auto eventFile = CheckEventFileArgument(evt);
    if (!eventFile) {
        const std::string& text = eventFile.error().text;
        return Complain(evt, text.substr(text.find(kLineBreak) + 2));
    }
    NewLoad load;
    load.EventFile = eventFile.value();
    Paths paths;
    if (!SplitEventPath(load, paths))
        return Complain(evt, "not an event file (its name does not end in \"evt\")");

    const auto manifest = MakeManifest(paths.Evidence.str(), kManifestThreads);
    if (!manifest)
        return Complain(paths.Evidence.str(), manifest.error().text);
    const auto& entries = manifest.value().entries;
    const std::string text = dfxml ? DfxmlText(entries) : Sha256sumText(entries);
    std::fwrite(text.data(), 1, text.size(), stdout);
    for (const auto& problem : manifest.value().problems)
        Tell(paths.Evidence.Join(problem.path), problem.error.text);
    return manifest.value().problems.empty() ? kOk : kBadInput;
}

const VerbRegistrar reg("manifest", "EVT [--dfxml]",
    "the SHA-256 of every file of the evidence folder as sha256sum writes it, or as DFXML; exit 2 when any could not "
    "be read",
    &Run);

} // namespace
} // namespace pellam::cli
