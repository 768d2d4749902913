// Hand-computed cases of the sample converters: what sox's decoding (the
// codec file tests) cannot show, such as cut blocks, clamping and bad headers.
#include "media/PcmConverter.h"

#include "support/WavFiles.h"

#include <cstring>
#include <limits>

#include <gtest/gtest.h>

using namespace pellam;
using namespace pellam::test;
using namespace std::string_literals;
using S = std::vector<std::int16_t>;

namespace {

std::unique_ptr<PcmConverter> Open(const std::string& fmt)
{
    const std::vector<std::uint8_t> bytes(fmt.begin(), fmt.end());
    const WaveFormat in = WaveFormat::Parse(bytes);
    return OpenPcmConverter(bytes, WaveFormat::Pcm(in.samplesPerSec, in.channels, 16));
}

// Converts `source` (copied into a buffer of exactly its size, so reads past
// it show up under the address sanitizer): the source bytes used and the samples.
std::pair<std::size_t, S> Convert(const std::string& fmt, const std::string& source,
    unsigned flags = kConvertBlockAlign | kConvertEnd, std::size_t room = 1 << 16)
{
    auto conv = Open(fmt);
    EXPECT_NE(conv, nullptr);
    if (!conv)
        return {};
    auto src = std::make_unique<std::uint8_t[]>(source.size());
    std::memcpy(src.get(), source.data(), source.size());
    std::vector<std::uint8_t> out(room);
    const ConvertResult r = conv->Convert({src.get(), source.size()}, out, flags);
    return {r.sourceUsed, ToSamples(std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(r.produced)))};
}

// The bytes of a float or double as a little-endian machine stores them.
template<typename T>
std::string LeBytes(T v)
{
    std::string s(sizeof v, '\0');
    std::memcpy(s.data(), &v, sizeof v);
    return s;
}

const std::string kFloatExtension = Le16(32) + Le32(4) + Le16(3) + std::string(14, '\x00');

} // namespace

TEST(Converter, AdpcmBlocksAndTruncatedLastBlocks)
{
    // IMA mono, 36-byte blocks: a 4-byte header and 32 bytes of nibbles = 65 samples.
    const std::string ima = Fmt(0x11, 1, 8000, 4055, 36, 4, Le16(65));
    const std::string block = "\x00\x00\x00\x00\x04"s + std::string(31, '\x00');
    // One block and 10 more bytes: without the end only the block converts;
    // at the end the header and one whole 4-byte group (8 samples) follow.
    const std::string cut = block + block.substr(0, 10);
    EXPECT_EQ(
        std::pair(Convert(ima, cut, kConvertBlockAlign).first, Convert(ima, cut).first), std::pair(36ul, cut.size()));
    EXPECT_EQ(std::pair(Convert(ima, cut, kConvertBlockAlign).second.size(), Convert(ima, cut).second.size()),
        std::pair(65ul, 65ul + 9));
    // A last block cut inside its header yields nothing.
    EXPECT_EQ(Convert(ima, block + "\x00\x00\x00"s), std::pair(39ul, Convert(ima, block).second));
    // Blocks only convert while their whole output fits.
    EXPECT_EQ(Convert(ima, block + block, kConvertBlockAlign, 65 * 2 + 10).first, 36u);

    // MS mono, 8-byte blocks of 4 samples; the only coefficient pair is (256, 0).
    // Predictor 0, step 16, newer sample 100, older 50; nibbles 1 and -1. An
    // unknown predictor number falls back to the first pair.
    const std::string ms = Fmt(2, 1, 8000, 8000, 8, 4, Le16(4) + Le16(1) + Le16(256) + Le16(0));
    const std::string msBlock = Le16(16) + Le16(100) + Le16(50) + "\x1F"s;
    EXPECT_EQ(Convert(ms, "\x00"s + msBlock).second, (S {50, 100, 116, 100}));
    EXPECT_EQ(Convert(ms, "\x09"s + msBlock).second, (S {50, 100, 116, 100}));

    // Code 8 raises the MS step threefold each sample; the step is capped
    // instead of overflowing (UBSan would flag an overflow here).
    const std::string runaway = Fmt(2, 1, 8000, 8000, 7 + 200, 4, Le16(402) + Le16(1) + Le16(256) + Le16(0));
    const auto r = Convert(runaway, "\x00"s + Le16(0x7FFF) + Le16(0) + Le16(0) + std::string(200, '\x88')).second;
    EXPECT_EQ(std::pair(r.size(), r.back()), std::pair(402ul, std::int16_t {-32768}));
}

TEST(Converter, PcmAndFloatAreScaledRoundedAndClampedAndHeadersChecked)
{
    // Wider samples keep their top 16 bits; a trailing partial frame is not converted.
    EXPECT_EQ(Convert(PcmFmt(1, 8000, 24), "\x56\x34\x12\xFF\xFF\xFF\x00\x00\x80"s).second, (S {0x1234, -1, -32768}));
    EXPECT_EQ(Convert(PcmFmt(2, 8000, 24), std::string(6 * 3 + 4, '\x10')).first, 18u);
    const std::string f32 = LeBytes(0.5f) + LeBytes(-0.25f) + LeBytes(1.5f) + LeBytes(-2.0f)
        + LeBytes(std::numeric_limits<float>::quiet_NaN()) + LeBytes(1.0f / 65536);
    EXPECT_EQ(Convert(Fmt(3, 1, 8000, 32000, 4, 32), f32).second, (S {16384, -8192, 32767, -32768, 0, 0}));
    const std::string f64 = LeBytes(-1.0) + LeBytes(0.999) + LeBytes(3.0 / 65536);
    EXPECT_EQ(Convert(Fmt(3, 1, 8000, 64000, 8, 64), f64).second, (S {-32768, 32735, 2}));

    const std::string ext = kFloatExtension;
    const std::string ms = Le16(1) + Le16(256) + Le16(0); // one coefficient pair
    EXPECT_EQ(Convert(Fmt(0xFFFE, 1, 8000, 32000, 4, 32, ext), LeBytes(0.5f)).second, S {16384}) << "float inside";
    EXPECT_NE(Open(Fmt(0x11, 1, 8000, 4055, 36, 4)), nullptr) << "IMA samples per block from the alignment";
    EXPECT_NE(
        Open(Fmt(0xFFFE, 1, 8000, 8000, 8, 4, Le16(4) + ext.substr(2, 4) + Le16(2) + ext.substr(8) + Le16(4) + ms)),
        nullptr)
        << "MS inside, its coefficients after the extension";
    // MPEG asks for three quarters of the header's rate, or 1:11 of the output without a rate.
    EXPECT_EQ(std::pair(Open(Fmt(0x55, 1, 8000, 0, 1, 0))->SourceSizeFor(1100),
                  Open(Fmt(0x55, 1, 8000, 2000, 1, 0))->SourceSizeFor(1100)),
        std::pair(std::size_t {100}, std::size_t {103}));
    const std::pair<const char*, std::string> refused[] = {
        {"IMA more samples than a block holds", Fmt(0x11, 1, 8000, 4055, 36, 4, Le16(66))},
        {"IMA less than half a block used", Fmt(0x11, 1, 8000, 4055, 36, 4, Le16(31))},
        {"IMA alignment 0", Fmt(0x11, 1, 8000, 4055, 0, 4, Le16(65))},
        {"IMA block smaller than its headers", Fmt(0x11, 2, 8000, 4055, 6, 4, Le16(1))},
        {"IMA 3 bits", Fmt(0x11, 1, 8000, 4055, 36, 3, Le16(65))},
        {"MS no coefficients", Fmt(2, 1, 8000, 8000, 8, 4, Le16(4) + Le16(0))},
        {"MS table cut short", Fmt(2, 1, 8000, 8000, 8, 4, Le16(4) + Le16(2) + ms.substr(2))},
        {"MS more samples than a block holds", Fmt(2, 1, 8000, 8000, 8, 4, Le16(5) + ms)},
        {"MS less than half a block used", Fmt(2, 1, 8000, 8000, 107, 4, Le16(99) + ms)},
        {"MS alignment 0", Fmt(2, 1, 8000, 8000, 0, 4, Le16(4) + ms)},
        {"MS without extra bytes", Fmt(2, 1, 8000, 8000, 8, 4)},
        {"extension cut short", Fmt(0xFFFE, 1, 8000, 32000, 4, 32, ext.substr(0, 20))},
        {"extensible of an unknown codec",
            Fmt(0xFFFE, 1, 8000, 1625, 65, 0, Le16(0) + ext.substr(2, 4) + Le16(0x22) + ext.substr(8))},
        {"GSM stereo", Fmt(0x31, 2, 8000, 3250, 65, 0, Le16(320))},
        {"GSM block of 64 bytes", Fmt(0x31, 1, 8000, 1625, 64, 0, Le16(320))},
        {"GSM 160 samples per block", Fmt(0x31, 1, 8000, 1625, 65, 0, Le16(160))},
        {"extensible within extensible",
            Fmt(0xFFFE, 1, 8000, 16000, 2, 16, Le16(16) + ext.substr(2, 4) + Le16(0xFFFE) + ext.substr(8))},
        {"fmt of 15 bytes", PcmFmt(1, 8000, 16).substr(0, 15)},
        {"float of 32 bits in 8-byte frames", Fmt(3, 1, 8000, 64000, 8, 32)},
    };
    for (const auto& [name, fmt] : refused)
        EXPECT_EQ(Open(fmt), nullptr) << name;
}
