#pragma once
// An evidence folder of `count` recordings of `seconds` each (one minute:
// about 940 KiB) for the benchmarks, made once into the build tree and kept:
// one tone encoded by lame (128 kbit/s), copied with an ID3v1 tag that numbers each copy so
// that every file has its own CRC, beside an SGfg.dat and an event file.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pellam::bench {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The folder's event file, or "" when lame is missing or a file cannot be written.
inline std::string GeneratedIncident(int count, int seconds = 60)
{
    const fs::path root = fs::path(PELLAM_BENCH_DIR) / "incidents";
    const std::string length = seconds == 60 ? "" : "x" + std::to_string(seconds) + "s";
    const fs::path folder = root / ("rec" + std::to_string(count) + length);
    const fs::path done = folder / ".complete";
    if (fs::exists(done))
        return (folder / "bench.evt").string();

    std::error_code ec;
    fs::create_directories(root, ec);
    const fs::path tone = root / ("tone" + length + ".mp3");
    if (!fs::exists(tone)) {
        constexpr int kRate = 44100;
        const fs::path raw = root / "tone.raw";
        {
            std::ofstream out(raw, std::ios::binary);
            for (int i = 0; i < kRate * seconds; ++i) {
                // A slow sweep, so the encoder has something to spend its bits on.
                const double t = static_cast<double>(i) / kRate;
                const auto v = static_cast<std::int16_t>(8000.0 * std::sin(2.0 * M_PI * (300.0 + 20.0 * t) * t));
                out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>((v >> 8) & 0xFF));
            }
        }
        const std::string cmd = "lame --quiet -r -s 44.1 --bitwidth 16 --signed --little-endian -m m -b 128 '"
            + raw.string() + "' '" + tone.string() + "' 2>/dev/null";
        const bool encoded = std::system(cmd.c_str()) == 0;
        fs::remove(raw, ec);
        if (!encoded)
            return "";
    }
    const std::string mp3 = ReadFile(tone);
    fs::remove_all(folder, ec);
    fs::create_directories(folder, ec);
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "rec%05d.mp3", i);
        std::string tag = "TAG" + std::string("Recording ") + std::to_string(i);
        tag.resize(128, '\0');
        std::ofstream(folder / name, std::ios::binary) << mp3 << tag;
    }
    std::ofstream(folder / "SGfg.dat", std::ios::binary) << "\"a\",\"b\",3,\"d\",\"e\",\"f\",\"g\",\"h\",\"Subject\","
                                                            "\"j\",\"k\",\"l\",13,14,15,16,\"q\",\"r\",\"s\",\"t\"\r\n";
    std::ofstream(folder / "bench.evt", std::ios::binary)
        << "\"Cordane\",\"7\",\"B-1\",\"0930\",\"12/5/2026\",\"Bench\"\r\na,b,c,d,e\r\n1\r\n\"Name\",\"01/01/1980\"\r\n"
           "\"\",\"/none\",\"12/6/2026\",\"1015\"\r\n"
        << count << "\r\n";
    std::ofstream(done).close();
    return (folder / "bench.evt").string();
}

} // namespace pellam::bench
