// Conversion throughput of the WAV stream reader, in output (16-bit PCM)
// bytes per second, for the stored encodings that matter most: plain PCM,
// float, IMA ADPCM and MPEG audio in a WAVE file. Inputs are 10 s of 44.1 kHz
// stereo made at start-up: PCM and float here, ADPCM by sox, MP3 by lame.
#include "audio/StreamWAV.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kRate = 44100;
constexpr std::size_t kFrames = kRate * 10;

std::string Le16(unsigned v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string Le32(std::uint32_t v)
{
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

std::string Wave(
    unsigned tag, unsigned align, unsigned bits, std::uint32_t avg, const std::string& extra, const std::string& data)
{
    const std::string fmt = Le16(tag) + Le16(2) + Le32(kRate) + Le32(avg) + Le16(align) + Le16(bits)
        + Le16(static_cast<unsigned>(extra.size())) + extra;
    std::string body = "WAVEfmt " + Le32(static_cast<std::uint32_t>(fmt.size())) + fmt + "data"
        + Le32(static_cast<std::uint32_t>(data.size())) + data;
    if (data.size() % 2)
        body += '\0';
    return "RIFF" + Le32(static_cast<std::uint32_t>(body.size())) + body;
}

double Signal(std::size_t i, int channel)
{
    const double t = static_cast<double>(i) / kRate;
    return 0.4 * std::sin(2 * M_PI * (channel ? 440.0 : 1000.0) * t) + 0.2 * std::sin(2 * M_PI * 3100.0 * t);
}

struct Inputs {
    fs::path dir;
    std::string pcm16, float32, ima, mpeg; // paths; empty when a tool was missing

    Inputs()
    {
        dir = fs::temp_directory_path() / ("pellam-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        std::string pcm, flt;
        for (std::size_t i = 0; i < kFrames; ++i)
            for (int c = 0; c < 2; ++c) {
                const double v = Signal(i, c);
                pcm += Le16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lrint(v * 32767))));
                float f = static_cast<float>(v);
                char b[4];
                std::memcpy(b, &f, 4);
                flt.append(b, 4);
            }
        pcm16 = Write("pcm16.wav", Wave(1, 4, 16, kRate * 4, "", pcm));
        float32 = Write("float32.wav", Wave(3, 8, 32, kRate * 8, "", flt));

        const std::string q = "\"" + pcm16 + "\"";
        if (std::system(("sox -q " + q + " -e ima-adpcm \"" + (dir / "ima.wav").string() + "\" 2>/dev/null").c_str())
            == 0)
            ima = (dir / "ima.wav").string();
        const std::string mp3 = (dir / "a.mp3").string();
        if (std::system(("lame --quiet -b 128 " + q + " \"" + mp3 + "\" 2>/dev/null").c_str()) == 0) {
            std::ifstream in(mp3, std::ios::binary);
            const std::string frames((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const std::string extra = Le16(1) + Le32(2) + Le16(417) + Le16(1) + Le16(1393);
            mpeg = Write("mpeg.wav", Wave(0x55, 1, 0, 16000, extra, frames));
        }
    }
    ~Inputs()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    std::string Write(const char* name, const std::string& bytes) const
    {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
};

const Inputs& TheInputs()
{
    static const Inputs inputs;
    return inputs;
}

// Reads the whole stream in the player's 10240-byte pieces, once per iteration.
void Convert(benchmark::State& state, const std::string& path)
{
    if (path.empty()) {
        state.SkipWithError("input could not be made (sox or lame missing)");
        return;
    }
    pellam::StreamWAV stream;
    if (stream.StreamOpen(path) != pellam::StreamStatus::Ok) {
        state.SkipWithError("open failed");
        return;
    }
    std::vector<char> buffer(10240);
    std::int64_t total = 0;
    for (auto _ : state) {
        stream.StreamSeek(0, 0);
        std::int32_t read = 0;
        while (stream.StreamRead(buffer.data(), 10240, read) == pellam::StreamStatus::Ok)
            total += read;
        total += read;
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(total);
}

void BM_Pcm16(benchmark::State& state)
{
    Convert(state, TheInputs().pcm16);
}
void BM_Float32(benchmark::State& state)
{
    Convert(state, TheInputs().float32);
}
void BM_ImaAdpcm(benchmark::State& state)
{
    Convert(state, TheInputs().ima);
}
void BM_MpegLayer3(benchmark::State& state)
{
    Convert(state, TheInputs().mpeg);
}

BENCHMARK(BM_Pcm16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Float32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImaAdpcm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MpegLayer3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
