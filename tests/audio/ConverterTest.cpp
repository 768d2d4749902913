#include "audio/PcmConverter.h"

#include "WavFiles.h"

#include <cmath>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

using namespace pellam;
using namespace pellam::test;
using namespace std::string_literals;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s)
{
    return {s.begin(), s.end()};
}

struct Converted {
    ConvertResult result;
    std::vector<std::int16_t> samples;
};

// Converts `source` (copied into a buffer of exactly its size, so reads past
// it show up under the address sanitizer) with the converter for `fmt`.
Converted Convert(const std::string& fmt, const std::string& source, unsigned flags = kConvertBlockAlign | kConvertEnd,
    std::size_t room = 1 << 16)
{
    const auto fmtBytes = Bytes(fmt);
    const WaveFormat in = WaveFormat::Parse(fmtBytes);
    auto conv = OpenPcmConverter(fmtBytes, WaveFormat::Pcm(in.samplesPerSec, in.channels, 16));
    EXPECT_NE(conv, nullptr);
    if (!conv)
        return {};
    auto src = std::make_unique<std::uint8_t[]>(source.size());
    std::memcpy(src.get(), source.data(), source.size());
    std::vector<std::uint8_t> out(room);
    Converted r;
    r.result = conv->Convert({src.get(), source.size()}, out, flags);
    r.samples = ToSamples(std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(r.result.produced)));
    return r;
}

// The bytes of a float or double as a little-endian machine stores them.
template<typename T>
std::string LeBytes(T v)
{
    std::string s(sizeof v, '\0');
    std::memcpy(s.data(), &v, sizeof v);
    return s;
}

using S = std::vector<std::int16_t>;

const std::string kFloatExtension = Le16(32) + Le32(4) + Le16(3) + std::string(14, '\x00');

} // namespace

TEST(Converter, IntegerPcmOfEveryWidth)
{
    EXPECT_EQ(Convert(PcmFmt(1, 8000, 8), "\x80\x00\xFF\x81"s).samples, (S {0, -32768, 32512, 256}));
    EXPECT_EQ(
        Convert(PcmFmt(2, 8000, 16), "\x01\x02\xFF\xFF\x00\x80\xFF\x7F"s).samples, (S {0x0201, -1, -32768, 32767}));
    // Wider samples keep their top 16 bits.
    EXPECT_EQ(Convert(PcmFmt(1, 8000, 24), "\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80"s).samples, (S {0x1234, -1, -32768}));
    EXPECT_EQ(Convert(PcmFmt(1, 8000, 32), "\x78\x56\x34\x12\x00\x00\x00\x80"s).samples, (S {0x1234, -32768}));
    // A trailing partial frame is not converted.
    const Converted r = Convert(PcmFmt(2, 8000, 24), std::string(6 * 3 + 4, '\x10'));
    EXPECT_EQ(r.result.sourceUsed, 18u);
    EXPECT_EQ(r.samples.size(), 6u);
}

TEST(Converter, FloatIsScaledRoundedAndClamped)
{
    const std::string f32 = LeBytes(0.5f) + LeBytes(-0.25f) + LeBytes(1.5f) + LeBytes(-2.0f)
        + LeBytes(std::numeric_limits<float>::quiet_NaN()) + LeBytes(1.0f / 65536);
    EXPECT_EQ(Convert(Fmt(3, 1, 8000, 32000, 4, 32), f32).samples, (S {16384, -8192, 32767, -32768, 0, 0}));
    const std::string f64 = LeBytes(-1.0) + LeBytes(0.999) + LeBytes(3.0 / 65536);
    EXPECT_EQ(Convert(Fmt(3, 1, 8000, 64000, 8, 64), f64).samples, (S {-32768, 32735, 2}));
}

TEST(Converter, ExtensibleUnwrapsTheSubFormat)
{
    // Sub-format GUID ...0003: float.
    EXPECT_EQ(Convert(Fmt(0xFFFE, 1, 8000, 32000, 4, 32, kFloatExtension), LeBytes(0.5f)).samples, S {16384});
    // Output must be 16-bit PCM at the source's rate and channels.
    const auto pcm = Bytes(PcmFmt(1, 8000, 16));
    EXPECT_EQ(OpenPcmConverter(pcm, WaveFormat::Pcm(8000, 2, 16)), nullptr);
    EXPECT_EQ(OpenPcmConverter(pcm, WaveFormat::Pcm(8000, 1, 8)), nullptr);
}

TEST(Converter, ImaAdpcmBlocksAndTruncatedLastBlock)
{
    // Mono, 36-byte blocks: a 4-byte header and 32 bytes of nibbles = 65 samples.
    const std::string fmt = Fmt(0x11, 1, 8000, 4055, 36, 4, Le16(65));
    // Predictor 0, index 0. Nibble 4 adds the step (7) and moves the index by
    // 2; each nibble 0 then adds step >> 3 = 1 (steps 9, then 8) and moves it back by 1.
    const std::string block = "\x00\x00\x00\x00\x04"s + std::string(31, '\x00');
    const Converted whole = Convert(fmt, block);
    ASSERT_EQ(whole.samples.size(), 65u);
    EXPECT_EQ(S(whole.samples.begin(), whole.samples.begin() + 4), (S {0, 7, 8, 9}));

    // One block and 10 more bytes: without the end only the block converts;
    // at the end the header and one whole 4-byte group (8 samples) follow.
    const std::string cut = block + block.substr(0, 10);
    const Converted middle = Convert(fmt, cut, kConvertBlockAlign);
    EXPECT_EQ(middle.result.sourceUsed, 36u);
    EXPECT_EQ(middle.samples.size(), 65u);
    const Converted end = Convert(fmt, cut);
    EXPECT_EQ(end.result.sourceUsed, cut.size());
    EXPECT_EQ(end.samples.size(), 65u + 9u);

    // A last block cut inside its header yields nothing.
    const Converted headless = Convert(fmt, block + "\x00\x00\x00"s);
    EXPECT_EQ(headless.result.sourceUsed, 39u);
    EXPECT_EQ(headless.samples.size(), 65u);

    // Blocks only convert while their whole output fits.
    EXPECT_EQ(Convert(fmt, block + block, kConvertBlockAlign, 65 * 2 + 10).result.sourceUsed, 36u);
}

TEST(Converter, MsAdpcmBlocksAndTruncatedLastBlock)
{
    // Mono, 8-byte blocks of 4 samples; the only coefficient pair is (256, 0).
    const std::string fmt = Fmt(2, 1, 8000, 8000, 8, 4, Le16(4) + Le16(1) + Le16(256) + Le16(0));
    // Predictor 0, step 16, newer sample 100, older 50; nibbles 1 and -1.
    const std::string block = "\x00"s + Le16(16) + Le16(100) + Le16(50) + "\x1F"s;
    EXPECT_EQ(Convert(fmt, block).samples, (S {50, 100, 116, 100}));
    // An unknown predictor number falls back to the first pair.
    EXPECT_EQ(Convert(fmt, "\x09"s + block.substr(1)).samples, (S {50, 100, 116, 100}));

    // Stereo, 30-byte blocks: 14 header bytes, 16 of nibbles = 2 + 16 samples per channel.
    const std::string fmt2 = Fmt(2, 2, 8000, 8000, 30, 4, Le16(18) + Le16(1) + Le16(256) + Le16(0));
    const std::string block2 = std::string(30, '\x00');
    const Converted cut = Convert(fmt2, block2 + block2.substr(0, 17));
    EXPECT_EQ(cut.result.sourceUsed, 47u);
    EXPECT_EQ(cut.samples.size(), 2u * (18 + 5)); // 3 bytes of nibbles: 3 more per channel
    const Converted headless = Convert(fmt2, block2 + block2.substr(0, 13));
    EXPECT_EQ(headless.samples.size(), 2u * 18);
}

TEST(Converter, MsAdpcmSurvivesRunawaySteps)
{
    // Code 8 raises the step threefold each sample; the step is capped
    // instead of overflowing (UBSan would flag an overflow here).
    const std::string fmt = Fmt(2, 1, 8000, 8000, 7 + 200, 4, Le16(402) + Le16(1) + Le16(256) + Le16(0));
    const std::string block = "\x00"s + Le16(0x7FFF) + Le16(0) + Le16(0) + std::string(200, '\x88');
    const Converted r = Convert(fmt, block);
    ASSERT_EQ(r.samples.size(), 402u);
    EXPECT_EQ(r.samples.back(), -32768);
}

TEST(Converter, FormatHeadersAreChecked)
{
    const std::string ext = kFloatExtension;
    const std::string ms = Le16(1) + Le16(256) + Le16(0); // one coefficient pair
    struct Case {
        const char* name;
        std::string fmt;
        bool opens;
    };
    const Case cases[] = {
        {"IMA samples per block from the alignment", Fmt(0x11, 1, 8000, 4055, 36, 4), true},
        {"IMA more samples than a block holds", Fmt(0x11, 1, 8000, 4055, 36, 4, Le16(66)), false},
        {"IMA less than half a block used", Fmt(0x11, 1, 8000, 4055, 36, 4, Le16(31)), false},
        {"IMA alignment 0", Fmt(0x11, 1, 8000, 4055, 0, 4, Le16(65)), false},
        {"IMA block smaller than its headers", Fmt(0x11, 2, 8000, 4055, 6, 4, Le16(1)), false},
        {"IMA 3 bits", Fmt(0x11, 1, 8000, 4055, 36, 3, Le16(65)), false},
        {"MS no coefficients", Fmt(2, 1, 8000, 8000, 8, 4, Le16(4) + Le16(0)), false},
        {"MS table cut short", Fmt(2, 1, 8000, 8000, 8, 4, Le16(4) + Le16(2) + ms.substr(2)), false},
        {"MS more samples than a block holds", Fmt(2, 1, 8000, 8000, 8, 4, Le16(5) + ms), false},
        {"MS less than half a block used", Fmt(2, 1, 8000, 8000, 107, 4, Le16(99) + ms), false},
        {"MS alignment 0", Fmt(2, 1, 8000, 8000, 0, 4, Le16(4) + ms), false},
        {"MS without extra bytes", Fmt(2, 1, 8000, 8000, 8, 4), false},
        {"extension cut short", Fmt(0xFFFE, 1, 8000, 32000, 4, 32, ext.substr(0, 20)), false},
        {"extensible GSM", Fmt(0xFFFE, 1, 8000, 1625, 65, 0, Le16(0) + ext.substr(2, 4) + Le16(0x31) + ext.substr(8)),
            false},
        {"extensible within extensible",
            Fmt(0xFFFE, 1, 8000, 16000, 2, 16, Le16(16) + ext.substr(2, 4) + Le16(0xFFFE) + ext.substr(8)), false},
        {"fmt of 15 bytes", PcmFmt(1, 8000, 16).substr(0, 15), false},
    };
    for (const auto& c : cases) {
        const auto b = Bytes(c.fmt);
        const WaveFormat in = WaveFormat::Parse(b);
        EXPECT_EQ(OpenPcmConverter(b, WaveFormat::Pcm(in.samplesPerSec, in.channels, 16)) != nullptr, c.opens)
            << c.name;
    }
}
