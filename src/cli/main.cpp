// pellam-cli: the headless companion of the review station. Every verb runs the
// same logic the desktop program runs; see the README for the verbs.
#include "base/Cp1252.h"
#include "base/Version.h"
#include "cli/Verbs.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

namespace pellam::cli {
namespace {

struct Verb {
    const char* usage;
    const char* summary;
    VerbFn fn;
};

LocaleFormats& Formats()
{
    static LocaleFormats formats;
    return formats;
}

std::map<std::string, Verb>& Registry()
{
    static std::map<std::string, Verb> verbs;
    return verbs;
}

void PrintUsage(std::FILE* to)
{
    std::fprintf(to,
        "usage: pellam-cli VERB ARGS...\n"
        "       pellam-cli VERB --help\n"
        "       pellam-cli --help | --version\n\nverbs:\n");
    for (const auto& [name, verb] : Registry())
        std::fprintf(to, "  %s %s\n      %s\n", name.c_str(), verb.usage, verb.summary);
    std::fprintf(to, "\nexit status: 0 success, 1 a negative answer, 2 bad usage or unreadable input\n");
}

void PrintVerbUsage(std::FILE* to, const std::string& name, const Verb& verb)
{
    std::fprintf(to, "usage: pellam-cli %s %s\n", name.c_str(), verb.usage);
}

// Whether `count` arguments fit the usage words: one per word, none or one
// for a word in brackets (an option), and any number from one up for a last
// word ending in "...".
bool CountFits(const char* usage, std::size_t count)
{
    std::istringstream words(usage);
    std::size_t need = 0;
    std::size_t optional = 0;
    std::string word;
    bool more = false;
    while (words >> word) {
        if (word.starts_with("[")) {
            ++optional;
            continue;
        }
        ++need;
        more = word.size() > 3 && word.ends_with("...");
    }
    return more ? count >= need : count >= need && count <= need + optional;
}

bool IsHelp(const char* arg)
{
    return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

} // namespace

VerbRegistrar::VerbRegistrar(const char* name, const char* usage, const char* summary, VerbFn fn)
{
    Registry()[name] = Verb {usage, summary, fn};
}

const LocaleFormats& UserFormats()
{
    return Formats();
}

void Tell(const std::string& file, const std::string& note)
{
    std::fprintf(stderr, "pellam-cli: %s: %s\n", ValidUtf8(file).c_str(), note.c_str());
}

int Complain(const std::string& file, const std::string& reason)
{
    Tell(file, reason);
    return kBadInput;
}

std::optional<EventFileWithOption> ReadEventFileWithOption(
    const Args& args, const std::string& option, const std::string& unknownReason)
{
    if (args.size() == 1)
        return EventFileWithOption {args[0], false};
    const bool first = args[0] == option;
    if (!first && args[1] != option) {
        Complain(args[0].starts_with("-") ? args[0] : args[1], unknownReason);
        return std::nullopt;
    }
    return EventFileWithOption {first ? args[1] : args[0], true};
}

} // namespace pellam::cli

int main(int argc, char** argv)
{
    using namespace pellam::cli;
    if (argc < 2) {
        PrintUsage(stderr);
        return kBadInput;
    }
    if (IsHelp(argv[1])) {
        PrintUsage(stdout);
        return kOk;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("pellam-cli %s\n", pellam::kAppVersion);
        return kOk;
    }
    const auto it = Registry().find(argv[1]);
    if (it == Registry().end()) {
        std::fprintf(stderr, "pellam-cli: unknown verb '%s'\n", argv[1]);
        PrintUsage(stderr);
        return kBadInput;
    }
    const auto& [name, verb] = *it;
    if (argc == 3 && IsHelp(argv[2])) {
        PrintVerbUsage(stdout, name, verb);
        std::printf("%s\n", verb.summary);
        return kOk;
    }
    // Options are the verbs' own to read; a "--" right after the verb, as
    // scripts write it before names that may begin with "-", is dropped.
    const bool dashes = argc > 2 && std::strcmp(argv[2], "--") == 0;
    const Args args(argv + 2 + (dashes ? 1 : 0), argv + argc);
    if (!CountFits(verb.usage, args.size())) {
        std::fprintf(stderr, "pellam-cli: %s: wrong number of arguments\n", name.c_str());
        PrintVerbUsage(stderr, name, verb);
        return kBadInput;
    }
    // Sizes and dates follow the user's locale; the process itself stays in the
    // C locale so numbers in JSON keep their "." whatever the user reads.
    Formats() = pellam::LocaleFormats::FromEnvironment();
    return verb.fn(args);
}
