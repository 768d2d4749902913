// The in-process decoder on files shaped as the field has them, made at test
// time by lame, against a second decoder: the mpg123 program.
#include "media/Mp3Decoder.h"

#include "support/LameEncode.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <vector>

using namespace pellam;
using pellam::test::TempDir;

namespace {

struct Decoded {
    std::vector<std::int16_t> samples;
    Mp3Chunk last; // the chunk that ended the stream
};

// What the decoder gives from where it stands, in pieces of `piece` bytes
// (not a whole number of sample frames on purpose), up to its end or for
// `reads` reads.
Decoded ReadRest(Mp3Decoder& decoder, std::size_t piece = 4099, int reads = 100000)
{
    Decoded out;
    std::vector<std::uint8_t> buffer(piece);
    for (; reads > 0 && !out.last.ended; --reads) {
        out.last = decoder.Read(buffer);
        EXPECT_EQ(out.last.bytes % static_cast<std::size_t>(decoder.FrameBytes()), 0u);
        for (std::size_t i = 0; i + 1 < out.last.bytes; i += 2)
            out.samples.push_back(static_cast<std::int16_t>(buffer[i] | (buffer[i + 1] << 8)));
    }
    return out;
}

std::unique_ptr<Mp3Decoder> OpenOrFail(const std::string& path)
{
    auto opened = Mp3Decoder::Open(path);
    EXPECT_TRUE(opened) << path << ": " << (opened ? "" : opened.error().text);
    return opened ? std::move(opened).value() : nullptr;
}

// The samples from sample frame `from` on.
std::vector<std::int16_t> From(const std::vector<std::int16_t>& all, std::int64_t from, int channels)
{
    const auto at = std::min(all.size(), static_cast<std::size_t>(from * channels));
    return {all.begin() + static_cast<std::ptrdiff_t>(at), all.end()};
}

class Mp3DecoderFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::HaveLame() || !test::HaveMpg123())
            GTEST_SKIP() << "lame or the mpg123 program is not installed";
    }
    std::string Encode(
        const std::string& name, std::int64_t samples, int rate, int channels, const std::string& options)
    {
        const std::string path
            = test::EncodePcm(dir.str(), name, test::ToneSamples(samples, rate, channels), rate, channels, options);
        EXPECT_FALSE(path.empty()) << name;
        return path;
    }
    TempDir dir;
};

} // namespace

TEST_F(Mp3DecoderFiles, DecodesCbrVbrAbrTaggedAndUntaggedFilesAsTheMpg123ProgramDoes)
{
    // Stereo behind an ID3v2 tag of mid3v2's (a picture larger than a read block) and before an ID3v1 tag.
    const std::string tagged = Encode("tagged.mp3", 132377, 44100, 2, "-b 128");
    const std::string picture = dir.write("picture.jpg", std::string(100000, '\xA5'));
    ASSERT_EQ(std::system(("mid3v2 -p '" + picture + "':cover:3:image/jpeg '" + tagged + "' >/dev/null").c_str()), 0);
    std::ofstream(tagged, std::ios::binary | std::ios::app) << "TAG" + std::string(125, ' ');
    ASSERT_GT(std::filesystem::file_size(tagged), 100000u + 128u);
    struct Case {
        std::string path;
        int rate, channels;
        std::int64_t samples; // Length before and after Scan
    };
    const Case cases[] = {
        {Encode("cbr8k.mp3", 24123, 8000, 1, "-b 24"), 8000, 1, 24123},
        {Encode("vbr8k.mp3", 24123, 8000, 1, "-V 5"), 8000, 1, 24123},
        {Encode("abr8k.mp3", 24123, 8000, 1, "--abr 24"), 8000, 1, 24123},
        // No info tag: nothing to cut, every frame's 576 samples count.
        {Encode("notag8k.mp3", 24123, 8000, 1, "-b 24 -t"), 8000, 1, 25344},
        {Encode("cbr44s.mp3", 132377, 44100, 2, "-b 128 -m j"), 44100, 2, 132377},
        {Encode("vbr44s.mp3", 132377, 44100, 2, "-V 2"), 44100, 2, 132377},
        {tagged, 44100, 2, 132377},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto reference = test::Mpg123Samples(c.path);
        ASSERT_EQ(static_cast<std::int64_t>(reference.size()), c.samples * c.channels);
        auto decoder = OpenOrFail(c.path);
        ASSERT_TRUE(decoder);
        EXPECT_EQ(std::tuple(decoder->Rate(), decoder->Channels(), decoder->FrameBytes(), decoder->Length()),
            std::tuple(c.rate, c.channels, 2 * c.channels, c.samples));
        // A scan between two reads: the next read goes on where the last ended.
        Decoded all = ReadRest(*decoder, 1000 * static_cast<std::size_t>(decoder->FrameBytes()), 1);
        ASSERT_EQ(all.samples.size(), 1000u * static_cast<std::size_t>(c.channels));
        EXPECT_FALSE(decoder->Scanned());
        EXPECT_TRUE(decoder->Scan());
        EXPECT_EQ(std::tuple(decoder->Scanned(), decoder->Length(), decoder->Tell()),
            std::tuple(true, c.samples, std::int64_t {1000}));
        const Decoded rest = ReadRest(*decoder);
        EXPECT_EQ(std::tuple(rest.last.ended, rest.last.error), std::tuple(true, ""));
        all.samples.insert(all.samples.end(), rest.samples.begin(), rest.samples.end());
        EXPECT_TRUE(test::SameSamples(all.samples, reference)) << all.samples.size() << " samples";
        EXPECT_EQ(decoder->Tell(), c.samples);
    }
}

TEST_F(Mp3DecoderFiles, SeeksToTheExactSampleWithItsOwnIndexAnAdoptedOneOrNone)
{
    for (const auto& [path, channels, samples] :
        {std::tuple(Encode("vbr44s.mp3", 132377, 44100, 2, "-V 2"), 2, std::int64_t {132377}),
            std::tuple(Encode("cbr8k.mp3", 24123, 8000, 1, "-b 24"), 1, std::int64_t {24123})}) {
        SCOPED_TRACE(path);
        const auto reference = test::Mpg123Samples(path);
        auto scanned = OpenOrFail(path);
        auto adopting = OpenOrFail(path);
        auto unscanned = OpenOrFail(path);
        ASSERT_TRUE(scanned && adopting && unscanned);
        ASSERT_TRUE(scanned->Scan());
        const Mp3FrameIndex index = scanned->Index();
        EXPECT_GT(index.offsets.size(), 1u);
        EXPECT_FALSE(adopting->AdoptIndex({}));
        ASSERT_TRUE(adopting->AdoptIndex(index));
        EXPECT_EQ(adopting->Index().offsets, index.offsets);
        // From the start, within a frame, on a frame's first sample, near and at the end; backwards too.
        for (const std::int64_t at : {std::int64_t {0}, std::int64_t {1000}, std::int64_t {576 * 20}, samples / 2 + 1,
                 samples - 1, samples, std::int64_t {7}}) {
            for (Mp3Decoder* d : {scanned.get(), adopting.get(), unscanned.get()}) {
                ASSERT_TRUE(d->Seek(at)) << at;
                EXPECT_EQ(d->Tell(), at);
                const Decoded rest = ReadRest(*d, 1152 * 4);
                EXPECT_TRUE(test::SameSamples(rest.samples, From(reference, at, channels)))
                    << "from " << at << ": " << rest.samples.size() << " samples";
            }
        }
        // Past the end once the length is known; never before the start.
        EXPECT_EQ(std::tuple(scanned->Seek(samples + 1), scanned->Seek(-1), unscanned->Seek(-1)),
            std::tuple(false, false, false));
    }
}

TEST_F(Mp3DecoderFiles, DamagedAndForeignFilesEndOrFailWithTheirKindOfError)
{
    const std::string good = Encode("vbr44s.mp3", 132377, 44100, 2, "-V 2");
    const std::string bytes = test::ReadAll(good);
    const auto reference = test::Mpg123Samples(good);

    // Cut in the middle: the stream ends early, as a regular end, with the
    // samples up to the cut the same as the whole file's.
    auto cut = OpenOrFail(dir.write("cut.mp3", bytes.substr(0, bytes.size() / 2)));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->Length(), 132377); // the info tag still tells the whole length
    const Decoded part = ReadRest(*cut);
    EXPECT_EQ(std::tuple(part.last.ended, part.last.error), std::tuple(true, ""));
    ASSERT_GT(part.samples.size(), reference.size() / 3);
    ASSERT_LT(part.samples.size(), reference.size() * 2 / 3);
    EXPECT_TRUE(std::equal(part.samples.begin(), part.samples.end() - 1152 * 2, reference.begin()));
    EXPECT_TRUE(cut->Scan());
    EXPECT_LT(cut->Length(), 132377);

    // A block of junk longer than the decoder hunts through for the next
    // frame (a bad sector's worth): it plays up to there and says why it stops.
    auto damaged = OpenOrFail(dir.write(
        "damaged.mp3", bytes.substr(0, bytes.size() / 2) + std::string(5000, 'x') + bytes.substr(bytes.size() / 2)));
    ASSERT_TRUE(damaged);
    const Decoded stopped = ReadRest(*damaged);
    EXPECT_TRUE(stopped.last.ended && !stopped.last.error.empty());
    EXPECT_LT(stopped.samples.size(), reference.size() * 2 / 3) << stopped.last.error;

    std::filesystem::create_directory(dir.path() / "folder.mp3");
    std::stop_source closing;
    closing.request_stop();
    const struct {
        std::string path;
        int number;
        std::stop_token stop;
    } refused[] = {
        {dir.file("missing.mp3"), ENOENT, {}},
        {dir.file("folder.mp3"), EISDIR, {}},
        {dir.write("empty.mp3", ""), 0, {}},
        {dir.write("text.mp3", std::string(5000, 'x')), 0, {}},
        // MPEG-1 layer II frames (128 kbit/s, 44.1 kHz, stereo, 417 bytes, silent).
        {dir.write("layer2.mp3",
             [] {
                 std::string frames;
                 for (int i = 0; i < 8; ++i)
                     frames += std::string("\xFF\xFD\x80\x00", 4) + std::string(413, '\0');
                 return frames;
             }()),
            0, {}},
        // An ID3v2 tag and nothing behind it.
        {dir.write("tagonly.mp3", std::string("ID3\x04\x00\x00\x00\x00\x00\x0A", 10) + std::string(10, '\0')), 0, {}},
        {good, 0, closing.get_token()},
    };
    for (const auto& r : refused) {
        const auto opened = Mp3Decoder::Open(r.path, r.stop);
        ASSERT_FALSE(opened) << r.path;
        EXPECT_EQ(opened.error().number, r.number) << r.path << ": " << opened.error().text;
        EXPECT_FALSE(opened.error().text.empty());
    }
}
