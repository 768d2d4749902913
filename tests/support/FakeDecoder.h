#pragma once
// Stands in for the decoder program: logs each command line and, when it
// "starts", writes `output` (a WAV file's bytes, if any) to the destination,
// which is the last argument, and exits at once with success, as the real
// decoder does when its disk fills up. IsRunning says what `running` says.
// With `real` set it runs the real program instead and waits for it.
#include "audio/Decoder.h"

#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace pellam::test {

struct FakeDecoder : Decoder {
    DecoderStart answer {DecoderStart::Outcome::Started, 0};
    std::string output;
    bool running = false;
    bool real = false;
    std::vector<std::vector<std::string>> starts; // program, then the arguments
    bool destinationExistedAtStart = true;

    DecoderStart Start(const std::string& program, const std::vector<std::string>& args) override
    {
        starts.push_back({program});
        starts.back().insert(starts.back().end(), args.begin(), args.end());
        destinationExistedAtStart = !args.empty() && std::filesystem::exists(args.back());
        if (real)
            return RunReal(starts.back());
        if (answer.outcome == DecoderStart::Outcome::Started && !output.empty())
            std::ofstream(args.back(), std::ios::binary) << output;
        return answer;
    }
    bool IsRunning() const override { return running; }

private:
    static DecoderStart RunReal(std::vector<std::string> argv)
    {
        argv.insert(argv.begin() + 1, "--quiet");
        std::vector<char*> ptrs;
        for (auto& a : argv)
            ptrs.push_back(a.data());
        ptrs.push_back(nullptr);
        pid_t pid = 0;
        if (const int err = ::posix_spawnp(&pid, ptrs[0], nullptr, nullptr, ptrs.data(), environ); err != 0)
            return {DecoderStart::Outcome::Missing, err};
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {DecoderStart::Outcome::Started, 0};
    }
};

} // namespace pellam::test
