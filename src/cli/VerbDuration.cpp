// pellam-cli duration MP3: the duration text the recording list shows for a file.
#include "cli/Verbs.h"
#include "workspace/RecordingList.h"

#include <cstdio>
#include <sys/stat.h>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: pellam-cli duration MP3\n");
        return kBadInput;
    }
    struct stat st {};
    if (::stat(args[0].c_str(), &st) != 0)
        return Complain(args[0], "no such file");
    // The same probe and retry rule as the recording pass, for one recording.
    SequentialProbe probe;
    probe.Start({args[0]});
    DurationPoller poller;
    std::optional<std::string> text;
    while (!text)
        text = poller.Poll(probe, 0);
    std::printf("%s\n", text->c_str());
    return kOk;
}

const VerbRegistrar reg("duration", "MP3", &Run);

} // namespace
} // namespace pellam::cli
