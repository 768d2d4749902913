#pragma once
// The external MP3 decoder run as a child process: the program is looked for
// beside our own executable first, then on the PATH, and started with an
// argument list (no shell, so no character of a file name is special). The
// recording to decode reaches it as its standard input, opened here by its
// exact bytes. Its output goes nowhere; it is watched only for having exited.
#include "audio/Decoder.h"

#include <QProcess>
#include <QString>

#include <memory>
#include <vector>

namespace pellam {

class ProcessDecoder final : public Decoder {
public:
    // programFolder: where the program is looked for first; our executable's
    // folder when empty.
    explicit ProcessDecoder(QString programFolder = {});
    ~ProcessDecoder() override;

    // Missing when the program is found nowhere; Failed with 13 (permission
    // denied) when the file found cannot be run, with the system's reason when
    // the recording cannot be opened, with EILSEQ when another argument's
    // bytes cannot be passed as they are, else with QProcess's error code.
    DecoderStart Start(const std::string& program, const std::vector<std::string>& args) override;
    bool IsRunning() const override;

    // The program's full path as Start would run it; empty when not found.
    QString Locate(const std::string& program) const;

private:
    QString m_folder;
    // Every decoder started and not yet seen to exit; a newer one does not
    // end an older one, which may still be writing.
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

} // namespace pellam
