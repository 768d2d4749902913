// pellam-cli: the headless companion of the review station. Every verb runs the
// same logic the desktop program runs; see the README for the verbs.
#include "base/Cp1252.h"
#include "cli/Verbs.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace pellam::cli {
namespace {

struct Verb {
    const char* usage;
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

int Usage()
{
    std::fprintf(stderr, "usage: pellam-cli VERB ARGS...\n");
    for (const auto& [name, verb] : Registry())
        std::fprintf(stderr, "  pellam-cli %s %s\n", name.c_str(), verb.usage);
    return kBadInput;
}

} // namespace

VerbRegistrar::VerbRegistrar(const char* name, const char* usage, VerbFn fn)
{
    Registry()[name] = Verb {usage, fn};
}

const LocaleFormats& UserFormats()
{
    return Formats();
}

int Complain(const std::string& file, const std::string& reason)
{
    std::fprintf(stderr, "pellam-cli: %s: %s\n", ValidUtf8(file).c_str(), reason.c_str());
    return kBadInput;
}

} // namespace pellam::cli

int main(int argc, char** argv)
{
    using namespace pellam::cli;
    if (argc < 2)
        return Usage();
    const auto it = Registry().find(argv[1]);
    if (it == Registry().end()) {
        std::fprintf(stderr, "pellam-cli: unknown verb '%s'\n", argv[1]);
        return Usage();
    }
    // Sizes and dates follow the user's locale; the process itself stays in the
    // C locale so numbers in JSON keep their "." whatever the user reads.
    Formats() = pellam::LocaleFormats::FromEnvironment();
    // No verb has options, so every argument is a value; a "--" right after
    // the verb, as scripts write it before names that may begin with "-", is dropped.
    const bool dashes = argc > 2 && std::strcmp(argv[2], "--") == 0;
    const Args args(argv + 2 + (dashes ? 1 : 0), argv + argc);
    return it->second.fn(args);
}
