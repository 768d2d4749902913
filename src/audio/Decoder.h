#pragma once
// The external MP3 decoder as the load sequence sees it: a program started
// with an argument list, then only watched.
#include "base/SystemError.h"

#include <string>
#include <vector>

namespace pellam {

struct DecoderStart {
    enum class Outcome { Started, Missing, Failed };
    Outcome outcome = Outcome::Failed;
    SystemError error = {}; // the system's reason when Failed (number 0: the decoder's own)
};

class Decoder {
public:
    virtual ~Decoder() = default;
    // Starts program (a bare name, looked up by the implementation) with args,
    // each passed as one argument without any shell. Arguments are bytes and
    // reach the program as they are; the one after "--decode" is the file to
    // decode, which an implementation may open itself and hand over as the
    // program's standard input.
    virtual DecoderStart Start(const std::string& program, const std::vector<std::string>& args) = 0;
    // A decoder started here has not exited yet (it may still be writing).
    virtual bool IsRunning() const = 0;
};

} // namespace pellam
