#include "support/TempDir.h"

#include <cstdio>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

using namespace pellam::test;

namespace {

struct CliRun {
    int exitCode = -1;
    std::string out;
};

CliRun RunCli(const std::string& args)
{
    CliRun r;
    FILE* p = ::popen((std::string(PELLAM_CLI) + " wav2pcm " + args + " 2>/dev/null").c_str(), "r");
    if (!p)
        return r;
    char buf[512];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int status = ::pclose(p);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(unsigned v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

std::string Wave(unsigned tag, unsigned bits, const std::string& data)
{
    const unsigned align = bits / 8;
    const std::string fmt = Le16(tag) + Le16(1) + Le32(8000) + Le32(8000 * align) + Le16(align) + Le16(bits) + Le16(0);
    const std::string body = "WAVEfmt " + Le32(18) + fmt + "data" + Le32(static_cast<unsigned>(data.size())) + data;
    return "RIFF" + Le32(static_cast<unsigned>(body.size())) + body;
}

} // namespace

TEST(Wav2pcm, WritesTheConvertedStreamAndItsProperties)
{
    TempDir dir;
    // 8-bit unsigned: 0x80 is silence, 0xFF the top step.
    const std::string wav = dir.write("a.wav", Wave(1, 8, std::string(4000, '\x80') + std::string(4000, '\xFF')));
    const CliRun r = RunCli(wav + " " + dir.file("out.pcm"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "{\"status\":0,\"SamplesPerSecond\":8000,\"Channels\":1,\"BitsPerSecond\":64000,"
                     "\"Duration\":1000,\"bytes\":16000}\n");
    const std::string pcm = ReadAll(dir.file("out.pcm"));
    ASSERT_EQ(pcm.size(), 16000u);
    EXPECT_EQ(pcm.substr(0, 2), std::string(2, '\0'));
    EXPECT_EQ(pcm.substr(15998), std::string("\x00\x7F", 2));
}

TEST(Wav2pcm, RefusedOpensExitWithOne)
{
    TempDir dir;
    const CliRun missing = RunCli(dir.file("missing.wav") + " " + dir.file("out.pcm"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.out.find("\"status\":1,"), std::string::npos) << missing.out;

    const std::string gsm = dir.write("gsm.wav", Wave(0x31, 8, std::string(100, '\0')));
    const CliRun noCodec = RunCli(gsm + " " + dir.file("out.pcm"));
    EXPECT_EQ(noCodec.exitCode, 1);
    EXPECT_NE(noCodec.out.find("\"status\":3,"), std::string::npos) << noCodec.out;
    EXPECT_NE(noCodec.out.find("\"bytes\":0}"), std::string::npos) << noCodec.out;
}
