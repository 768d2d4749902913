// pellam-cli duration MP3: the duration text the recording list shows for a file.
#include "base/FileDescriptor.h"
#include "cli/Verbs.h"
#include "workspace/RecordingList.h"

#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    // A file that cannot be read at all is bad input, not a recording whose
    // duration never arrives.
    if (auto file = FileDescriptor::OpenForReading(args[0]); !file)
        return Complain(args[0], file.error().text);
    // The same probe and retry rule as the recording pass, for one recording.
    SequentialProbe probe;
    probe.Start({args[0]});
    DurationPoller poller;
    std::optional<DurationAnswer> answer;
    while (!answer)
        answer = poller.Poll(probe, 0);
    std::printf("%s\n", answer->text.c_str());
    if (!answer->note.empty()) // a file cut short
        Tell(args[0], answer->note);
    return kOk;
}

const VerbRegistrar reg("duration", "MP3", "the duration the recording list shows for an MP3 file", &Run);

} // namespace
} // namespace pellam::cli
