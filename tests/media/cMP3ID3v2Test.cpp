#include "media/cMP3ID3v2.h"
#include "attachments/RecordingDetails.h"

#include "support/TagBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include <unistd.h>

using namespace pellam;
using namespace pellam::test;

namespace {

// Reads `bytes` as a file; the read itself must succeed.
cMP3ID3v2 ReadBytes(const std::string& bytes)
{
    TempDir dir;
    cMP3ID3v2 reader;
    EXPECT_TRUE(reader.SetMP3File(dir.write("t.mp3", bytes)).ok());
    return reader;
}

// Where the tag was found and what it holds: found, 1-based position, version, distinct frame ids.
std::tuple<bool, int, int, int> Shape(const cMP3ID3v2& r)
{
    return {r.HasID3v2Tag(), r.TagPosition(), r.TagVersion(), r.FrameCount()};
}

const std::string kAudio = std::string("\xFF\xFB\x90\x64", 4) + std::string(400, 'a');

} // namespace

TEST(cMP3ID3v2, GenreFrameByNumberByNameOrFreeText)
{
    const std::tuple<const char*, int, const char*> cases[]
        = {{"(17)", 17, "Rock"}, {"(17)Rock and Roll", 17, "Rock and Roll"}, {"(17)x", 17, "Rock"},
            {"(17)\xE9", 17, "Rock"}, // one character, two bytes once decoded
            {"(17)xy", 17, "xy"}, {"Speech", 255, "Speech"}, {"(RX)Remix", 255, "(RX)Remix"}, {"(300)", 255, "(300)"},
            {"(0017)", 17, "Rock"}, {"(00000000256)", 255, "(00000000256)"}, {"(17", 255, "(17"}, {"17)", 255, "17)"},
            {"Live (0)", 0, "Blues"}};
    for (const auto& [value, genre, other] : cases) {
        const auto r = ReadBytes(PaddedTag(3, Frame("TCON", Latin1(value))));
        EXPECT_EQ(std::tuple(int(r.Genre()), r.OtherGenreName()), std::tuple(genre, std::string(other))) << value;
    }
    // A free genre text keeps an earlier number.
    const auto r = ReadBytes(PaddedTag(3, Frame("TCON", Latin1("(8)")) + Frame("TCON", Latin1("Swing"))));
    EXPECT_EQ(std::tuple(r.Genre(), r.OtherGenreName(), r.FrameValue("2:TCON")), std::tuple(8, "Swing", "Swing"));

    // The names follow the extended numbering, with a gap at 123.
    const std::pair<int, const char*> names[] = {{0, "Blues"}, {25, "Euro - Techno"}, {79, "Hard Rock"},
        {122, "Drum Solo"}, {123, ""}, {124, "Euro - House"}, {147, "Synth Pop"}, {-1, ""}};
    for (const auto& [n, name] : names)
        EXPECT_EQ(cMP3ID3v2::GenreName(n), name) << n;
}

TEST(cMP3ID3v2, CommentsJoinAndFrameBytesAreWindows1252)
{
    const auto r = ReadBytes(PaddedTag(3,
        Frame("COMM", Latin1("engfirst")) + Frame("TIT2", "t")
            + Frame("COMM", Latin1(std::string("eng\0second", 10)))));
    EXPECT_EQ(std::tuple(r.Comment(), r.TagsInFrame("COMM"), r.FrameValue("2:COMM"), r.FrameCount()),
        std::tuple(std::string("engfirst\0\r\nengsecond", 20), 2, "engsecond", 2));

    // Frame bytes are Windows-1252 with the NULs left out, whatever the encoding byte says.
    const auto utf16 = ReadBytes(PaddedTag(3, Frame("TPE1", std::string("\x01\xFF\xFEU\0n\0i\0t\0 \x93\0", 14))));
    EXPECT_EQ(utf16.Artist(), "\x01\xC3\xBF\xC3\xBEUnit \xE2\x80\x9C");
}

TEST(cMP3ID3v2, Version22IdsAreMappedAndOtherVersionsReadNoFrames)
{
    const auto r = ReadBytes(PaddedTag(2,
        Frame22("TT2", Latin1("Title 22")) + Frame22("PIC", "\x01\x02\x03") + Frame22("TCO", "(2)")
            + Frame22("COM", "eng1") + Frame22("TP1", "A") + Frame22("XYZ", "z")));
    EXPECT_EQ(Shape(r), std::tuple(true, 4, 2, 5));
    EXPECT_EQ(std::tuple(r.Title(), r.Artist(), r.Genre(), r.Comment()), std::tuple("Title 22", "A", 2, "eng1"));
    // Unmapped ids share the empty id.
    EXPECT_EQ(std::tuple(r.Frame(2), r.TagsInFrame(""), r.FrameValue("2:")), std::tuple("", 2, "z"));

    for (int version : {0, 1, 5, 255}) {
        const auto other = ReadBytes(PaddedTag(version, Frame("TIT2", "x")));
        EXPECT_EQ(std::tuple(Shape(other), other.Title()), std::tuple(std::tuple(true, 4, version, 0), ""));
    }
}

// The walk stops where the tag or the file does: oversized and cut frames
// read only what the file holds.
TEST(cMP3ID3v2, TheWalkStopsAndReadsOnlyWhatTheFileHolds)
{
    // At NUL padding, even when frame-like bytes follow inside the tag.
    const std::string afterPadding = std::string(8, '\0') + Frame("TPE1", "hidden");
    auto r = ReadBytes(Tag(3, Frame("TIT2", "a") + afterPadding, 300) + std::string(300, '\0'));
    EXPECT_EQ(std::tuple(r.FrameCount(), r.Artist()), std::tuple(1, ""));

    // Before a frame that would run past the tag size; one that ends exactly at it is read.
    const std::string two = Frame("TIT2", "a") + Frame("TPE1", "bbbb");
    for (const int frames : {1, 2}) {
        const auto size = static_cast<std::uint32_t>(two.size()) + static_cast<std::uint32_t>(frames) - 2;
        r = ReadBytes(Tag(3, two + std::string(50, '\0'), size) + std::string(50, '\0'));
        EXPECT_EQ(std::tuple(r.FrameCount(), r.Title()), std::tuple(frames, std::string("a")));
    }

    // When the 1-based file position after a frame passes the tag size: the
    // second frame fits the byte count but is never reached.
    const std::string small = Frame("TIT2", std::string(20, 'x')) + Frame("TPE1", "");
    EXPECT_EQ(ReadBytes(Tag(3, small, static_cast<std::uint32_t>(small.size()))).FrameCount(), 1);

    // Behind leading bytes the position passes a small tag size after the first frame.
    r = ReadBytes(std::string(1000, 'j') + PaddedTag(3, Frame("TIT2", "a") + Frame("TPE1", "b"), 900));
    EXPECT_EQ(Shape(r), std::tuple(true, 1004, 3, 1));

    // Sizes beyond any tag: nothing is read.
    for (std::uint32_t size : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        const std::string frame = "TIT2" + BigEndianBytes(size, 4) + std::string(2, '\0') + "abc";
        EXPECT_EQ(ReadBytes(Tag(3, frame, 0x0FFFFFFF)).FrameCount(), 0) << size;
    }
    // A frame that claims 200 MB of a 256 MB tag in a file that ends after 5 bytes.
    const std::string cut = "TIT2" + BigEndianBytes(200u << 20, 4) + std::string(2, '\0') + "Cut 5";
    r = ReadBytes(Tag(4, cut, 0x0FFFFFFF));
    EXPECT_EQ(std::tuple(r.FrameCount(), r.Title()), std::tuple(1, std::string("Cut 5")));
    // In a sparse file that does hold the 200 MB, the value is read no further than 4 MiB.
    TempDir dir;
    const std::string sparse = dir.write("sparse.mp3", Tag(4, cut, 0x0FFFFFFF));
    std::ofstream(sparse, std::ios::in | std::ios::out).seekp(30 + (4 << 20)).put('Z');
    ASSERT_EQ(::truncate(sparse.c_str(), 300 << 20), 0);
    ASSERT_TRUE(r.SetMP3File(sparse).ok());
    EXPECT_EQ(r.Title(), "Cut 5");

    // A header cut in the middle of its size field.
    r = ReadBytes(Tag(3, Frame("TIT2", "x"), 100).substr(0, 15));
    EXPECT_EQ(std::tuple(r.FrameCount(), r.Title()), std::tuple(1, std::string()));
    EXPECT_EQ(Shape(ReadBytes("ID3")), std::tuple(true, 4, 0, 0));
}

TEST(cMP3ID3v2, TagSearchRunsInOverlappingBlocks)
{
    const std::string tag = PaddedTag(3, Frame("TIT2", "found"));
    // "ID3" across the first block boundary (bytes 4094..4096).
    auto r = ReadBytes(std::string(4094, 'j') + tag);
    EXPECT_EQ(std::tuple(r.TagPosition(), r.Title()), std::tuple(4098, std::string("found")));
    // In a later block, with no audio frame header before it.
    EXPECT_EQ(ReadBytes(std::string(10000, 'j') + tag).TagPosition(), 10004);
    // "ID3" in the same block as an audio frame header still wins.
    r = ReadBytes(std::string(100, 'j') + kAudio + tag);
    EXPECT_EQ(std::tuple(r.TagPosition(), r.Title()), std::tuple(104 + int(kAudio.size()), std::string("found")));

    // No tag: none there, an audio frame header in an earlier block (FF FB across
    // the boundary still counts), files too short to hold one.
    for (const std::string& bytes :
        {kAudio + std::string(5000, 'j') + tag, std::string(4095, 'j') + "\xFF\xFB" + std::string(5000, 'j') + tag,
            std::string(), std::string("ID"), std::string(9000, 'j'), kAudio})
        EXPECT_EQ(Shape(ReadBytes(bytes)), std::tuple(false, 0, 0, 0)) << bytes.size();
}

TEST(cMP3ID3v2, SettingTheFileResetsEverythingAndAFailedOpenGivesTheSystemError)
{
    TempDir dir;
    cMP3ID3v2 r;
    ASSERT_TRUE(r.SetMP3File(dir.write("a.mp3", PaddedTag(3, Frame("TIT2", "a") + Frame("TCON", "(1)")))).ok());
    ASSERT_EQ(r.Genre(), 1);
    ASSERT_TRUE(r.SetMP3File(dir.write("b.mp3", PaddedTag(3, Frame("TALB", "b")))).ok());
    EXPECT_EQ(
        std::tuple(r.MP3File(), r.Title(), r.Genre(), r.FrameCount(), r.TagsInFrame("TIT2"), r.FrameValue("1:TIT2")),
        std::tuple(dir.file("b.mp3"), "", 255, 1, 0, ""));

    // Opens the system refuses (a folder, a FIFO) are checked through the command line.
    const auto missing = r.SetMP3File(dir.file("missing.mp3"));
    EXPECT_EQ(std::tuple(missing.error(), r.HasID3v2Tag(), r.Album()), std::tuple(SystemError(ENOENT), false, ""));
}

// What the recording-details window shows: the file name and the tag's artist,
// album and genre name, or the load error.
TEST(RecordingDetails, FromTheTagOrTheLoadError)
{
    TempDir dir;
    cMP3ID3v2 reader;
    auto details = [&](const std::string& path) {
        const auto d = ReadRecordingDetails(reader, path);
        return std::vector<std::string> {d.fileName, d.artist, d.album, d.genre};
    };
    const std::string tagged = dir.write("4711_0001.mp3",
        PaddedTag(3, Frame("TPE1", Latin1("Unit 4")) + Frame("TALB", Latin1("Harbor Call")) + Frame("TCON", "(10)"))
            + kAudio);
    EXPECT_EQ(details(tagged), (std::vector<std::string> {"4711_0001.mp3", "Unit 4", "Harbor Call", "Speech"}));
    EXPECT_EQ(details(dir.write("plain.mp3", kAudio)), (std::vector<std::string> {"plain.mp3", "", "", ""}));
    EXPECT_EQ(details(dir.file("gone.mp3"))[0], "FILE LOAD ERROR");
    // A recording cut short says so.
    EXPECT_EQ(std::tuple(ReadRecordingDetails(reader, PELLAM_OWN_TESTDATA "/field-mp3/cut-info.mp3").note,
                  ReadRecordingDetails(reader, tagged).note),
        std::tuple("cut short: 62 of 105 frames", ""));
}
