#include "../attachments/TagBuilder.h"
#include "RunVerb.h"

#include <gtest/gtest.h>

using namespace pellam::test;

TEST(VerbTags, PrintsEveryPropertyAndTheFramesInFirstSeenOrder)
{
    TempDir dir;
    const std::string path = dir.write("a.mp3", PaddedTag(3, Frame("TIT2", Latin1("Call 12")) + Frame("COMM", "eng\"a\"")
                                                              + Frame("TCON", "(17)") + Frame("COMM", "engb")));
    const auto r = RunVerb({"tags", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "{\"HasID3v2Tag\":true,\"TagVersion\":3,\"Title\":\"Call 12\",\"Artist\":\"\",\"Album\":\"\","
              "\"Year\":\"\",\"Comment\":\"eng\\\"a\\\"\\u0000\\r\\nengb\",\"Track\":\"\",\"Genre\":17,"
              "\"GenreName\":\"Rock\",\"OtherGenreName\":\"Rock\",\"EncodedBy\":\"\",\"Copyright\":\"\","
              "\"Composer\":\"\",\"OriginalArtist\":\"\",\"LinkTo\":\"\",\"PlayCounter\":\"\",\"AudioURL\":\"\","
              "\"ArtistURL\":\"\",\"BuyURL\":\"\",\"Lyrics\":\"\",\"Frames\":[{\"id\":\"TIT2\",\"count\":1},"
              "{\"id\":\"COMM\",\"count\":2},{\"id\":\"TCON\",\"count\":1}]}\n");
}

TEST(VerbTags, FilesWithoutATagAndPeerFiles)
{
    auto r = RunVerb({"tags", std::string(PELLAM_TESTDATA) + "/peer-id3/mutagen_no-tags.mp3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"HasID3v2Tag\":false,\"TagVersion\":0,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Genre\":255,\"GenreName\":\"\","), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Frames\":[]}"), std::string::npos) << r.out;

    r = RunVerb({"tags", std::string(PELLAM_TESTDATA) + "/peer-id3/taglib_excessive_alloc.mp3"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\"Album\":\"\\u0003Music\xC5\x93of the Sun\""), std::string::npos) << r.out;
}

TEST(VerbTags, AFileThatCannotBeOpenedIsBadInput)
{
    TempDir dir;
    for (const std::string& path : {dir.file("gone.mp3"), dir.str()}) {
        const auto r = RunVerb({"tags", path});
        EXPECT_EQ(r.status, 2) << path;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
        EXPECT_EQ(r.err.back(), '\n');
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);
    }
    EXPECT_NE(RunVerb({"tags", dir.file("gone.mp3")}).err.find("No such file"), std::string::npos);
    EXPECT_EQ(RunVerb({"tags"}).status, 2);
}
