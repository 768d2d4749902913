#include "base/Version.h"
#include "records/RecordWriter.h"
#include "records/clsRecord.h"

#include "../records/RecordFiles.h"
#include "RunVerb.h"
#include "support/Fifo.h"
#include "support/TagBuilder.h"
#include "support/TempDir.h"
#include "support/WavFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pellam::test;
using namespace pellam;

TEST(CliCrc, PrintsTheConfirmedTextThenThePathAsGivenUnknownWhenUnreadable)
{
    TempDir dir;
    const auto path = dir.write("rec 1.mp3", "123456789");
    const auto ok = RunVerb({"crc", path, dir.write("empty.mp3", "")});
    EXPECT_EQ(std::tuple(ok.status, ok.out),
        std::tuple(0, "CB F4 39 26  " + path + "\n00 00 00 00  " + dir.file("empty.mp3") + "\n"));
    const auto r = RunVerb({"crc", dir.file("gone.mp3")});
    EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(2, "Unknown  " + dir.file("gone.mp3") + "\n"));
    EXPECT_NE(r.err.find("gone.mp3"), std::string::npos);
    // Bytes outside UTF-8 (a Windows-1252 letter, an overlong slash, a cut
    // sequence) and line breaks in a name print as U+FFFD: one line per file.
    const auto odd = RunVerb({"crc", "--", dir.write("caf\xE9 \xC0\xAF \xE2\x82\n.mp3", "123456789")});
    EXPECT_EQ(odd.out, "CB F4 39 26  " + dir.str() + "/caf\uFFFD \uFFFD\uFFFD \uFFFD\uFFFD\uFFFD.mp3\n");
}

TEST(CliEvent, PrintsTheIncidentAsJsonOrNotOk)
{
    TempDir dir;
    const auto path = dir.write("9.evt",
        "a,b,\"9\",\"0800\",\"1/2/2026\",\"Dock \"\"B\"\"\",c,d,e,f,g,1,"
        "\"Ann\",\"1/1/1990\",x,\"/att\",\"1/3/2026\",\"0900\",2");
    const auto r = RunVerb({"event", path});
    // The quoted location ends at its second quote; the rest up to the comma is dropped.
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
        "{\"ok\":true,\"CaseNumber\":\"9\",\"StartTime\":\"0800\",\"StartDate\":\"1/2/2026\","
        "\"Location\":\"Dock \",\"SubjectCount\":1,\"Subjects\":[{\"Name\":\"Ann\",\"DOB\":\"1/1/1990\"}],"
        "\"AttachPath\":\"/att/\",\"EndDate\":\"1/3/2026\",\"EndTime\":\"0900\",\"Mp3Count\":2}\n");

    const auto bad = RunVerb({"event", dir.write("bad.evt", "1,2,3")});
    EXPECT_EQ(std::tuple(bad.status, bad.out), std::tuple(1, "{\"ok\":false}\n"));
    EXPECT_EQ(RunVerb({"event", dir.file("none.evt")}).status, 1);
}

TEST(VerbRecords, PrintsTheHeaderAndEveryPersonInFileOrder)
{
    TempDir dir;
    clsRecord store;
    store.SetRecordPath(dir.file("5_Records.rmq"));
    RecordTable table;
    for (const auto& [k, text] : {std::pair {1, "1"}, {2, "2"}, {9, "nine"}, {10, "Suspect"}})
        table.Header(k) = text;
    for (const auto& [k, r, p, f, text] :
        std::initializer_list<std::tuple<int, int, int, int, const char*>> {{0, 1, 1, 0, "ID-1"}, {0, 1, 1, 1, "Ann"},
            {0, 1, 3, 9, "Lee"}, {0, 1, 1, 2, "not shown"}, {1, 2, 3, 7, "B"}, {1, 2, 3, 10, "Quote \"q\""}})
        table(k, r, p, f) = text;
    ASSERT_TRUE(RecordSave(store, table));

    const auto r = RunVerb({"records", store.RecordPath()});
    EXPECT_EQ(std::tuple(r.status, r.err), std::tuple(0, ""));
    EXPECT_TRUE(r.out.starts_with(R"({"ok":true,"header":["150","1","2","","","","","","","nine","Suspect"],)"))
        << r.out;
    // Persons in file order, empty ones too; a field the map leaves out is not shown; texts escaped.
    for (const char* part : {R"({"role":0,"person":1,"RoleName":"Suspect","DisplayName":"Ann Lee",)",
             R"("fields":{"IdNumber":"ID-1","Name":"Ann","Involvement":"",)",
             R"({"role":1,"person":1,"RoleName":"Family","DisplayName":"",)",
             R"({"role":1,"person":2,"RoleName":"Family","DisplayName":" B Quote \"q\"",)",
             R"("NamePart3":"","NamePart4":"Quote \"q\""}}]})"})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;
    EXPECT_EQ(r.out.find("not shown"), std::string::npos);

    const auto bad = RunVerb({"records", dir.write("6_Records.rmq", RecordFile("150", 150, {"101"}, 0))});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.out.starts_with(R"({"ok":false,"header":["150","101",)") && bad.out.ends_with("\"persons\":[]}\n"))
        << bad.out;
}

// The reader's own rules are tested beside it; here only what the verb adds:
// the keys from first to last, the frame list, and texts escaped for JSON.
TEST(VerbTags, PrintsEveryPropertyAndTheFramesInFirstSeenOrder)
{
    TempDir dir;
    const auto none = RunVerb({"tags", dir.write("plain.mp3", std::string("\xFF\xFB\x90\x00", 4) + "audio")});
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(none.out.starts_with(R"({"HasID3v2Tag":false,"TagVersion":0,"Title":"",)")) << none.out;
    EXPECT_TRUE(none.out.ends_with(",\"Lyrics\":\"\",\"Frames\":[]}\n")) << none.out;

    const auto tagged = RunVerb({"tags",
        dir.write("a.mp3",
            PaddedTag(3,
                Frame("TIT2", Latin1("Call \"12\"")) + Frame("COMM", "enga") + Frame("TALB", "\x03Sun\x9C")
                    + Frame("COMM", "engb")))});
    EXPECT_EQ(std::tuple(tagged.status, tagged.err), std::tuple(0, ""));
    for (const char* part :
        {R"({"HasID3v2Tag":true,"TagVersion":3,"Title":"Call \"12\"",)", "\"Album\":\"\\u0003Sun\xC5\x93\",",
            R"("Frames":[{"id":"TIT2","count":1},{"id":"COMM","count":2},{"id":"TALB","count":1}]})"})
        EXPECT_NE(tagged.out.find(part), std::string::npos) << part << "\n" << tagged.out;
}

// Every verb that reads a file names it and the system's reason on one line of
// stderr; a FIFO is refused at once instead of waited on.
TEST(CliVerbs, AFileThatCannotBeOpenedIsBadInput)
{
    TempDir dir;
    const std::string fifo = MakeFifo(dir, "pipe");
    for (const char* verb : {"tags", "records", "duration"}) {
        for (const auto& [path, reason] : {std::pair {dir.file("gone.mp3"), "No such file or directory"},
                 std::pair {dir.str(), "Is a directory"}, std::pair {fifo, "Invalid argument"}}) {
            const auto r = RunVerb({verb, path});
            EXPECT_EQ(
                std::tuple(r.status, r.out, r.err), std::tuple(2, "", "pellam-cli: " + path + ": " + reason + "\n"))
                << verb;
        }
        EXPECT_EQ(RunVerb({verb}).status, 2) << verb << " without a file";
    }
    EXPECT_EQ(RunVerb({"event", fifo}).out, "{\"ok\":false}\n");
    EXPECT_NE(RunVerb({"wav2pcm", fifo, dir.file("out.pcm")}).out.find("\"status\":1,"), std::string::npos);
    EXPECT_EQ(RunVerb({"phone", "+1 555 123 4567"}).out, "1(555) 123-4567\n");
}

// Help goes to stdout with exit 0; an unknown verb or a wrong argument count
// gets the usage on stderr and exit 2 before the verb runs.
TEST(CliVerbs, HelpVersionAndUsage)
{
    EXPECT_EQ(std::tuple(RunVerb({"--help"}).status, RunVerb({"sheet", "--help"}).status), std::tuple(0, 0));
    EXPECT_EQ(RunVerb({"--version"}).out, std::string("pellam-cli ") + kAppVersion + "\n");
    const std::vector<std::vector<std::string>> wrong
        = {{}, {"nosuchverb", "x"}, {"crc"}, {"phone"}, {"phone", "1", "2"}, {"sheet", "a.evt", "1"}, {"wav2pcm", "a"}};
    for (const auto& args : wrong) {
        const auto r = RunVerb(args);
        EXPECT_EQ(
            std::tuple(r.status, r.out, r.err.find("usage: pellam-cli ") != std::string::npos), std::tuple(2, "", true))
            << args.size() << " " << r.err;
    }
}

TEST(CliVerbs, EveryVerbIsInTheManualPageAndTheCompletion)
{
    const std::string help = RunVerb({"--help"}).out;
    const std::string manual = ReadAll(PELLAM_SOURCE_DIR "/data/pellam-cli.1.in");
    const std::string completion = ReadAll(PELLAM_SOURCE_DIR "/data/pellam-cli.bash-completion");
    const std::string verbs = completion.substr(completion.find("local verbs=\"") + 13);
    int listed = 0;
    for (std::size_t at = help.find("\n  "); at != std::string::npos; at = help.find("\n  ", at + 1)) {
        if (help[at + 3] == ' ')
            continue; // a summary line
        const std::string verb = help.substr(at + 3, help.find_first_of(" \n", at + 3) - at - 3);
        ++listed;
        EXPECT_NE(manual.find(".BI " + verb + " "), std::string::npos) << verb;
        EXPECT_NE((" " + verbs.substr(0, verbs.find('"')) + " ").find(" " + verb + " "), std::string::npos) << verb;
    }
    EXPECT_GE(listed, 19); // and report, where the desktop program's libraries are built
}

TEST(Wav2pcm, WritesTheConvertedStreamAndItsPropertiesOrTheRefusal)
{
    TempDir dir;
    // 8-bit unsigned: 0x80 is silence, 0xFF the top step.
    const std::string wav = dir.write("a.wav",
        Riff(Chunk("fmt ", PcmFmt(1, 8000, 8)) + Chunk("data", std::string(4000, '\x80') + std::string(4000, '\xFF'))));
    const auto r = RunVerb({"wav2pcm", wav, dir.file("out.pcm")});
    EXPECT_EQ(std::tuple(r.status, r.out),
        std::tuple(0,
            "{\"status\":0,\"SamplesPerSecond\":8000,\"Channels\":1,\"BitsPerSecond\":64000,"
            "\"Duration\":1000,\"bytes\":16000}\n"));
    const std::string pcm = ReadAll(dir.file("out.pcm"));
    ASSERT_EQ(pcm.size(), 16000u);
    EXPECT_EQ(
        std::tuple(pcm.substr(0, 2), pcm.substr(15998)), std::tuple(std::string(2, '\0'), std::string("\x00\x7F", 2)));

    // A format without a decoder is refused with exit 1.
    const std::string gsm = dir.write(
        "gsm.wav", Riff(Chunk("fmt ", Fmt(0x31, 1, 8000, 8000, 1, 8)) + Chunk("data", std::string(100, '\0'))));
    const auto noCodec = RunVerb({"wav2pcm", gsm, dir.file("out.pcm")});
    EXPECT_EQ(noCodec.status, 1);
    EXPECT_TRUE(noCodec.out.find("\"status\":3,") != std::string::npos && noCodec.out.ends_with("\"bytes\":0}\n"))
        << noCodec.out;
}

// OUT never replaces WAV (named alike, through a link or another spelling)
// and never goes into an incident folder: exit 2, WAV untouched, nothing written.
TEST(Wav2pcm, RefusesAnOutputThatIsItsInputOrInTheEvidenceFolder)
{
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string bytes = Riff(Chunk("fmt ", PcmFmt(1, 8000, 8)) + Chunk("data", std::string(800, '\x80')));
    const std::string wav = dir.write("case/a.wav", bytes);
    fs::create_symlink(wav, dir.file("link.wav"));
    fs::create_hard_link(wav, dir.file("hard.wav"));
    const std::string outside = dir.file("out.pcm");
    EXPECT_EQ(RunVerb({"wav2pcm", wav, dir.file("case/plain.pcm")}).status, 0); // no event file: an ordinary folder
    dir.write("case/7.EVT", "");
    for (const std::string& out : {wav, dir.str() + "/case/../case/a.wav", dir.file("link.wav"), dir.file("hard.wav"),
             dir.file("case/out.pcm"), dir.file("case/sub/../out.pcm")}) {
        const auto r = RunVerb({"wav2pcm", wav, out});
        EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(2, "")) << out;
        EXPECT_TRUE(r.err.starts_with("pellam-cli: " + out + ": ")) << r.err;
        EXPECT_TRUE(ReadAll(wav) == bytes) << out;
    }
    EXPECT_FALSE(fs::exists(dir.file("case/out.pcm")));
    EXPECT_EQ(RunVerb({"wav2pcm", dir.file("link.wav"), dir.file("case/x.pcm")}).status, 2); // linked into the folder
    EXPECT_EQ(RunVerb({"wav2pcm", wav, outside}).status, 0);
}
