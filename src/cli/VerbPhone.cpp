// pellam-cli phone TEXT: the phone number as the text conversation viewer shows it.
#include "cli/Verbs.h"
#include "conversations/Conversations.h"

#include <cstdio>

namespace pellam::cli {
namespace {

int Run(const Args& args)
{
    std::printf("%s\n", FormatPhone(args[0]).c_str());
    return kOk;
}

const VerbRegistrar reg("phone", "TEXT", "a phone number as the text conversation viewer shows it", &Run);

} // namespace
} // namespace pellam::cli
