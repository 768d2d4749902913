#pragma once
// Stands in for the decoder program: logs each command line and, when it
// "starts", writes `output` (a WAV file's bytes, if any) to the destination,
// which is the last argument, and exits at once with success, as the real
// decoder does when its disk fills up. IsRunning says what `running` says.
// With `real` set it runs the real program instead and waits for it.
#include "audio/Decoder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace pellam::test {

struct FakeDecoder : Decoder {
    DecoderStart answer {DecoderStart::Outcome::Started, {}};
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
        if (real) {
            std::string command = program + " --quiet";
            for (const auto& a : args)
                command += " '" + a + "'"; // the test's own paths: no quotes in them
            return std::system(command.c_str()) < 0 ? DecoderStart {DecoderStart::Outcome::Missing, SystemError::Last()}
                                                    : answer;
        }
        if (answer.outcome == DecoderStart::Outcome::Started && !output.empty())
            std::ofstream(args.back(), std::ios::binary) << output;
        return answer;
    }
    bool IsRunning() const override { return running; }
};

} // namespace pellam::test
