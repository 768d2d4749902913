#include "attachments/cMP3ID3v2.h"

#include "TagBuilder.h"
#include "support/Fifo.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace pellam;
using namespace pellam::test;

namespace {

// Reads `bytes` as a file; the read itself must succeed.
cMP3ID3v2 ReadBytes(const std::string& bytes)
{
    TempDir dir;
    cMP3ID3v2 reader;
    const auto read = reader.SetMP3File(dir.write("t.mp3", bytes));
    EXPECT_TRUE(read.ok());
    return reader;
}

std::string Audio()
{
    return std::string("\xFF\xFB\x90\x64", 4) + std::string(400, 'a');
}

} // namespace

TEST(cMP3ID3v2, EveryMappedFrameSetsItsProperty)
{
    using Getter = const std::string& (cMP3ID3v2::*)() const;
    const std::pair<const char*, Getter> mapped[] = {
        {"TIT2", &cMP3ID3v2::Title},
        {"TPE1", &cMP3ID3v2::Artist},
        {"TALB", &cMP3ID3v2::Album},
        {"TYER", &cMP3ID3v2::Year},
        {"TRCK", &cMP3ID3v2::Track},
        {"USLT", &cMP3ID3v2::Lyrics},
        {"TENC", &cMP3ID3v2::EncodedBy},
        {"TCOP", &cMP3ID3v2::Copyright},
        {"TCOM", &cMP3ID3v2::Composer},
        {"TOPE", &cMP3ID3v2::OriginalArtist},
        {"WXXX", &cMP3ID3v2::LinkTo},
        {"PCNT", &cMP3ID3v2::PlayCounter},
        {"WOAF", &cMP3ID3v2::AudioURL},
        {"WOAR", &cMP3ID3v2::ArtistURL},
        {"WCOM", &cMP3ID3v2::BuyURL},
    };
    std::string frames = Frame("TXXX", "unmapped");
    for (const auto& [id, getter] : mapped)
        frames += Frame(id, Latin1(std::string("v") + id));
    for (const int version : {3, 4}) {
        const auto r = ReadBytes(PaddedTag(version, frames) + Audio());
        for (const auto& [id, getter] : mapped)
            EXPECT_EQ((r.*getter)(), std::string("v") + id) << version;
        EXPECT_TRUE(r.HasID3v2Tag());
        EXPECT_EQ(r.TagPosition(), 4);
        EXPECT_EQ(r.TagVersion(), version);
        EXPECT_EQ(r.ID3v2TagVersion(), version);
        EXPECT_EQ(r.FrameCount(), 16);
        EXPECT_EQ(r.Frame(1), "TXXX");
        EXPECT_EQ(r.Frame(3), "TPE1");
        EXPECT_EQ(r.Frame(0), "");
        EXPECT_EQ(r.Frame(17), "");
        EXPECT_EQ(r.TagsInFrame("TPE1"), 1);
        EXPECT_EQ(r.TagsInFrame("TCON"), 0);
        EXPECT_EQ(r.FrameValue("1:TIT2"), "vTIT2");
        EXPECT_EQ(r.Genre(), 255);
    }
}

TEST(cMP3ID3v2, GenreFrameByNumberByNameOrFreeText)
{
    struct Case {
        const char* value;
        int genre;
        const char* other;
    } cases[] = {
        {"(17)", 17, "Rock"},
        {"(17)Rock and Roll", 17, "Rock and Roll"},
        {"(17)x", 17, "Rock"},
        {"(17)\xE9", 17, "Rock"}, // one character, two bytes once decoded
        {"(17)xy", 17, "xy"},
        {"Speech", 255, "Speech"},
        {"(RX)Remix", 255, "(RX)Remix"},
        {"(300)", 255, "(300)"},
        {"(0017)", 17, "Rock"},
        {"(00000000256)", 255, "(00000000256)"},
        {"(17", 255, "(17"},
        {"17)", 255, "17)"},
        {"Live (0)", 0, "Blues"},
    };
    for (const auto& c : cases) {
        const auto r = ReadBytes(PaddedTag(3, Frame("TCON", Latin1(c.value))));
        EXPECT_EQ(r.Genre(), c.genre) << c.value;
        EXPECT_EQ(r.OtherGenreName(), c.other) << c.value;
    }
    // A free genre text keeps an earlier number.
    const auto r = ReadBytes(PaddedTag(3, Frame("TCON", Latin1("(8)")) + Frame("TCON", Latin1("Swing"))));
    EXPECT_EQ(r.Genre(), 8);
    EXPECT_EQ(r.OtherGenreName(), "Swing");
    EXPECT_EQ(r.FrameValue("2:TCON"), "Swing");
}

TEST(cMP3ID3v2, CommentsJoinAndFrameBytesAreWindows1252)
{
    const auto r = ReadBytes(PaddedTag(3,
        Frame("COMM", Latin1("engfirst")) + Frame("TIT2", "t")
            + Frame("COMM", Latin1(std::string("eng\0second", 10)))));
    EXPECT_EQ(r.Comment(), std::string("engfirst\0\r\nengsecond", 20));
    EXPECT_EQ(r.TagsInFrame("COMM"), 2);
    EXPECT_EQ(r.FrameValue("2:COMM"), "engsecond");
    EXPECT_EQ(r.FrameCount(), 2);

    // Frame bytes are Windows-1252 with the NULs left out, whatever the encoding byte says.
    const auto utf16 = ReadBytes(PaddedTag(3, Frame("TPE1", std::string("\x01\xFF\xFEU\0n\0i\0t\0 \x93\0", 14))));
    EXPECT_EQ(utf16.Artist(), "\x01\xC3\xBF\xC3\xBEUnit \xE2\x80\x9C");
}

TEST(cMP3ID3v2, Version22IdsAreMappedAndOtherVersionsReadNoFrames)
{
    const auto r = ReadBytes(PaddedTag(2,
        Frame22("TT2", Latin1("Title 22")) + Frame22("PIC", "\x01\x02\x03") + Frame22("TCO", "(2)")
            + Frame22("COM", "eng1") + Frame22("TP1", "A") + Frame22("XYZ", "z")));
    EXPECT_EQ(r.TagVersion(), 2);
    EXPECT_EQ(r.Title(), "Title 22");
    EXPECT_EQ(r.Artist(), "A");
    EXPECT_EQ(r.Genre(), 2);
    EXPECT_EQ(r.Comment(), "eng1");
    EXPECT_EQ(r.FrameCount(), 5);
    EXPECT_EQ(r.Frame(2), "");
    EXPECT_EQ(r.TagsInFrame(""), 2);
    EXPECT_EQ(r.FrameValue("2:"), "z");

    // Versions other than 2.2 to 2.4 read no frames.
    for (int version : {0, 1, 5, 255}) {
        const auto other = ReadBytes(PaddedTag(version, Frame("TIT2", "x")));
        EXPECT_TRUE(other.HasID3v2Tag());
        EXPECT_EQ(other.TagVersion(), version);
        EXPECT_EQ(other.FrameCount(), 0);
        EXPECT_EQ(other.Title(), "");
    }
}

TEST(cMP3ID3v2, TheWalkStops)
{
    // At NUL padding, even when frame-like bytes follow inside the tag.
    const std::string afterPadding = std::string(8, '\0') + Frame("TPE1", "hidden");
    auto r = ReadBytes(Tag(3, Frame("TIT2", "a") + afterPadding, 300) + std::string(300, '\0'));
    EXPECT_EQ(r.FrameCount(), 1);
    EXPECT_EQ(r.Artist(), "");

    // Before a frame that would run past the tag size.
    const std::string two = Frame("TIT2", "a") + Frame("TPE1", "bbbb");
    r = ReadBytes(
        Tag(3, two + std::string(50, '\0'), static_cast<std::uint32_t>(two.size()) - 1) + std::string(50, '\0'));
    EXPECT_EQ(r.FrameCount(), 1);
    EXPECT_EQ(r.Title(), "a");

    // When the 1-based file position after a frame passes the tag size: the
    // second frame fits the byte count but is never reached.
    const std::string small = Frame("TIT2", std::string(20, 'x')) + Frame("TPE1", "");
    r = ReadBytes(Tag(3, small, static_cast<std::uint32_t>(small.size())));
    EXPECT_EQ(r.FrameCount(), 1);

    // Behind leading bytes the position passes a small tag size after the first frame.
    r = ReadBytes(std::string(1000, 'j') + PaddedTag(3, Frame("TIT2", "a") + Frame("TPE1", "b"), 900));
    EXPECT_EQ(r.TagPosition(), 1004);
    EXPECT_EQ(r.FrameCount(), 1);
}

TEST(cMP3ID3v2, OversizedAndCutFramesReadOnlyWhatTheFileHolds)
{
    // Sizes beyond any tag: nothing is read.
    for (std::uint32_t size : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        const std::string frame = "TIT2" + BigEndianBytes(size, 4) + std::string(2, '\0') + "abc";
        const auto r = ReadBytes(Tag(3, frame, 0x0FFFFFFF));
        EXPECT_EQ(r.FrameCount(), 0) << size;
    }
    // A frame that claims 200 MB of a 256 MB tag in a file that ends after 5 bytes.
    const std::string cut = "TIT2" + BigEndianBytes(200u << 20, 4) + std::string(2, '\0') + "Cut 5";
    auto r = ReadBytes(Tag(4, cut, 0x0FFFFFFF));
    EXPECT_EQ(r.Title(), "Cut 5");
    EXPECT_EQ(r.FrameCount(), 1);

    // A header cut in the middle of its size field.
    r = ReadBytes(Tag(3, Frame("TIT2", "x"), 100).substr(0, 15));
    EXPECT_EQ(r.FrameCount(), 1);
    EXPECT_EQ(r.Title(), "");
    r = ReadBytes("ID3");
    EXPECT_TRUE(r.HasID3v2Tag());
    EXPECT_EQ(r.TagVersion(), 0);
}

TEST(cMP3ID3v2, TagSearchRunsInOverlappingBlocks)
{
    const std::string tag = PaddedTag(3, Frame("TIT2", "found"));
    // "ID3" across the first block boundary (bytes 4094..4096).
    auto r = ReadBytes(std::string(4094, 'j') + tag);
    EXPECT_EQ(r.TagPosition(), 4098);
    EXPECT_EQ(r.Title(), "found");

    // In a later block, with no audio frame header before it.
    r = ReadBytes(std::string(10000, 'j') + tag);
    EXPECT_EQ(r.TagPosition(), 10004);

    // An audio frame header in an earlier block ends the search.
    r = ReadBytes(Audio() + std::string(5000, 'j') + tag);
    EXPECT_FALSE(r.HasID3v2Tag());
    EXPECT_EQ(r.TagPosition(), 0);

    // FF FB across the boundary still counts; "ID3" in the same block still wins.
    r = ReadBytes(std::string(4095, 'j') + "\xFF\xFB" + std::string(5000, 'j') + tag);
    EXPECT_FALSE(r.HasID3v2Tag());
    r = ReadBytes(std::string(100, 'j') + Audio() + tag);
    EXPECT_TRUE(r.HasID3v2Tag());
    EXPECT_EQ(r.Title(), "found");

    // No tag at all, and files too short to hold one.
    for (const std::string& bytes : {std::string(), std::string("ID"), std::string(9000, 'j'), Audio()}) {
        r = ReadBytes(bytes);
        EXPECT_FALSE(r.HasID3v2Tag());
        EXPECT_EQ(r.TagVersion(), 0);
        EXPECT_EQ(r.FrameCount(), 0);
    }
}

TEST(cMP3ID3v2, SettingTheFileResetsEverythingAndAFailedOpenGivesTheSystemError)
{
    TempDir dir;
    cMP3ID3v2 r;
    ASSERT_TRUE(r.SetMP3File(dir.write("a.mp3", PaddedTag(3, Frame("TIT2", "a") + Frame("TCON", "(1)")))).ok());
    ASSERT_EQ(r.Genre(), 1);
    ASSERT_TRUE(r.SetMP3File(dir.write("b.mp3", PaddedTag(3, Frame("TALB", "b")))).ok());
    EXPECT_EQ(r.MP3File(), dir.file("b.mp3"));
    EXPECT_EQ(r.Title(), "");
    EXPECT_EQ(r.Genre(), 255);
    EXPECT_EQ(r.FrameCount(), 1);
    EXPECT_EQ(r.TagsInFrame("TIT2"), 0);
    EXPECT_EQ(r.FrameValue("1:TIT2"), "");

    const auto missing = r.SetMP3File(dir.file("missing.mp3"));
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().Number, ENOENT);
    EXPECT_EQ(missing.error().Description, std::strerror(ENOENT));
    EXPECT_EQ(missing.error().Source, "test_attachments.cMP3ID3v1");
    EXPECT_FALSE(r.HasID3v2Tag());
    EXPECT_EQ(r.Album(), "");
    const auto folder = r.SetMP3File(dir.str());
    ASSERT_FALSE(folder.ok());
    EXPECT_EQ(folder.error().Number, EISDIR);
    const std::string fifo = MakeFifo(dir, "pipe.mp3");
    const auto piped = ReadPromptly(fifo, [&] { return cMP3ID3v2().SetMP3File(fifo); });
    ASSERT_FALSE(piped.ok());
    EXPECT_EQ(piped.error().Number, EINVAL) << "a FIFO is refused, not waited on";
}

TEST(cMP3ID3v2, GenreNamesFollowTheExtendedNumbering)
{
    const std::pair<int, const char*> names[] = {{0, "Blues"}, {25, "Euro - Techno"}, {79, "Hard Rock"},
        {122, "Drum Solo"}, {123, ""}, {124, "Euro - House"}, {147, "Synth Pop"}, {-1, ""}};
    for (const auto& [n, name] : names)
        EXPECT_EQ(cMP3ID3v2::GenreName(n), name) << n;
}
