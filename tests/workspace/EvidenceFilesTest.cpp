// The files an evidence folder holds: the event file, the system configuration,
// the attachment list, and the comma-delimited reader beneath them.
#include "workspace/DelimitedReader.h"
#include "workspace/Incident.h"
#include "workspace/SysConfig.h"

#include "support/Fifo.h"
#include "support/IncidentFiles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <variant>

using namespace pellam;
using pellam::test::EventText;
using pellam::test::SysCfg;

TEST(EventFile, ReadsEveryFieldAndTheSubjectPairsTheCountAsksFor)
{
    test::TempDir dir;
    auto read = ReadEventFile(dir.write("a.evt", EventText("1234", "3", 3)));
    ASSERT_TRUE(read) << read.error().text;
    const Incident& inc = read.value();
    EXPECT_EQ(std::tuple(inc.CaseNumber, inc.SubjectCount, inc.SubjectName[3], inc.SubjectDOB[1], inc.AttachPath,
                  inc.EndTime, inc.Mp3Count),
        std::tuple("1234", 3, "Name 3", "01/01/1980", "/ev/Attach/", "1015", 7));
    // Ten fill the table.
    EXPECT_EQ(ReadEventFile(dir.write("b.evt", EventText("1", "10", 10))).value().SubjectName[10], "Name 10");

    // The folder keeps the separator it is written with; one that ends with
    // either stays as it is. Texts are Windows-1252.
    const std::pair<const char*, const char*> attach[]
        = {{"C:\\Cordane\\4711\\", "C:\\Cordane\\4711\\"}, {"C:\\Cordane\\Z\xFCrich", "C:\\Cordane\\Z\xC3\xBCrich\\"},
            {"\\\\srv\\ev/", "\\\\srv\\ev/"}, {"/x/Attach/", "/x/Attach/"}, {"", "\\"}};
    for (const auto& [written, want] : attach) {
        const auto got = ReadEventFile(dir.write("c.evt", EventText("1", "1", 1, written)));
        ASSERT_TRUE(got) << written;
        EXPECT_EQ(got->AttachPath, want);
    }

    for (const char* count : {"0", "1", "-4"}) { // below two there is still one pair to consume
        const auto one = ReadEventFile(dir.write("d.evt", EventText("1", count, 1)));
        ASSERT_TRUE(one) << count;
        EXPECT_EQ(std::tuple(one->SubjectName[1], one->EndTime), std::tuple("Name 1", "1015")) << count;
    }
}

TEST(EventFile, BadFilesAreRefusedWithTheReason)
{
    test::TempDir dir;
    const std::string good = EventText("1", "2", 2);
    const std::pair<const char*, std::string> cases[] = {{"eleven subjects", EventText("1", "11", 11)},
        {"count too large", EventText("1", "40000")}, {"count too small", EventText("1", "-32769")},
        {"count not a number", EventText("1", "12x")}, {"count empty", EventText("1", "")},
        {"fewer pairs than counted", EventText("1", "3", 2)}, {"truncated", good.substr(0, good.size() / 2)},
        {"empty", ""}, {"binary", std::string("\x00\xff\x01\x89PNG\r\n\x1a\n", 12)}};
    for (const auto& [what, text] : cases) {
        const auto read = ReadEventFile(dir.write("bad.evt", text));
        ASSERT_FALSE(read) << what;
        EXPECT_TRUE(read.error().number == 0 && !read.error().text.empty()) << what;
    }
    EXPECT_EQ(ReadEventFile(dir.write("bad.evt", EventText("1", "12x"))).error().text,
        "subject count (value 12): not a decimal number");

    // A folder is not an event file.
    EXPECT_EQ(std::pair(ReadEventFile(dir.file("missing.evt")).error().number, ReadEventFile(dir.str()).error().number),
        std::pair(ENOENT, EISDIR));
    const std::string fifo = test::MakeFifo(dir, "pipe.evt");
    const auto piped = test::ReadPromptly(fifo, [&] { return ReadEventFile(fifo); });
    EXPECT_EQ(piped.error().number, EINVAL) << "a FIFO is refused, not waited on";
}

TEST(SysConfig, RoleZeroComesFromSGfgOnlyWhenSCfgLoadsAndABadFileGivesTheBox)
{
    test::TempDir dir;
    const FolderPath folder(dir.str());
    dir.write("SGfg.dat", SysCfg("Target"));
    RoleTable defaults;
    ASSERT_EQ(LoadSysConfig(folder, defaults).value_or("?"), "Target");
    SetRoleNames(folder, defaults);
    // Without SCfg.dat role 0 falls back to RoleName0.
    EXPECT_EQ(std::tuple(defaults.RoleName(0), defaults.RoleName(7)), std::tuple("Subject", "Witness"));

    dir.write("SCfg.dat", "\"Relative\",\"Captive\",\"Bystander\",\"Misc\",\"Guardian\",\"Injured\",\"Observer\"\r\n");
    RoleTable roles;
    ASSERT_TRUE(LoadSysConfig(folder, roles).ok());
    SetRoleNames(folder, roles);
    EXPECT_EQ(
        std::tuple(roles.RoleName(0), roles.RoleName(2), roles.RoleName(8)), std::tuple("Target", "Captive", "UNK"));

    dir.write("SGfg.dat", SysCfg("TG"));
    RoleTable two;
    ASSERT_EQ(LoadSysConfig(folder, two).value_or("?"), "TG");
    EXPECT_EQ(two.RoleNames[0], "") << "a two-character label is not used";

    dir.write("SCfg.dat", "\"One\",\"Two\"");
    RoleTable shortList;
    shortList.RoleName0 = "X"; // shorter than two characters: replaced
    SetRoleNames(folder, shortList);
    // A short SCfg.dat falls back to the defaults.
    EXPECT_EQ(std::tuple(shortList.RoleName(0), shortList.RoleName(1)), std::tuple("Subject", "Family"));

    // A missing or malformed SGfg.dat gives the data load error box: its text
    // stays as it is, the file and the reason are its detail.
    std::filesystem::remove(dir.file("SGfg.dat"));
    for (const auto& [text, reason] : {std::pair<std::string, std::string> {"", "No such file or directory"},
             {"\"a\",\"b\",notanumber,\"d\"", "not a decimal number"},
             {SysCfg().substr(0, 40), "the file ends before this value"}}) {
        if (!text.empty())
            dir.write("SGfg.dat", text);
        const auto loaded = LoadSysConfig(folder, roles);
        ASSERT_FALSE(loaded.ok()) << text;
        EXPECT_EQ(loaded.error(),
            (Message {"Data Load Error", "Error opening Cordane System Configuration Data file.",
                MessageIcon::Exclamation, folder.Join("SGfg.dat") + "\n" + reason}))
            << text;
    }
}

TEST(AttachmentList, ReadsGroupsInFileOrderUpToTheLimit)
{
    test::TempDir dir;
    std::string told; // what the last read says it left out
    const auto load = [&](const std::string& text) {
        dir.write("ATCH.lst", text);
        AttachmentList list;
        told = LoadAttachmentList(FolderPath(dir.str()), list).value();
        return list;
    };
    const auto two = load("2\r\n\"Floor plan, level 2\",\"Photo\",\"plan.jpg\",\"120 KB\"\r\n"
                          "\"Warrant\",\"Acrobat DOC\",\"warrant.pdf\",\"40 KB\"\r\n");
    ASSERT_EQ(std::tuple(two.AttachCount, two.entries.size(), told), std::tuple(2, 2u, ""));
    EXPECT_EQ(std::tuple(two.entries[0].FileName, two.entries[0].Description, two.entries[1].ApproxSize),
        std::tuple("plan.jpg", "Floor plan, level 2", "40 KB"));

    EXPECT_TRUE(load("0\r\n").entries.empty());
    const auto cut = load("3\r\n\"d\",\"t\",\"f\",\"s\",\"d2\",\"t2\"");
    ASSERT_EQ(std::tuple(cut.AttachCount, cut.entries.size(), told),
        std::tuple(3, 2u, "ends in its attachment 2 of 3 (the file ends before this value)"));
    EXPECT_EQ(std::tuple(cut.entries[1].FileType, cut.entries[1].FileName), std::tuple("t2", ""));

    std::string many = "1200\r\n";
    for (int i = 0; i < 1200; ++i)
        many += "\"d\",\"t\",\"f" + std::to_string(i) + "\",\"s\"\r\n";
    const auto big = load(many);
    ASSERT_EQ(std::tuple(big.AttachCount, big.entries.size(), told),
        std::tuple(1200, 1000u, "lists 1200 attachments; only the first 1000 are shown"));
    EXPECT_EQ(big.entries.back().FileName, "f999");

    AttachmentList missing;
    EXPECT_EQ(LoadAttachmentList(FolderPath(dir.str() + "/nowhere/"), missing).error(), "No such file or directory");
    EXPECT_EQ(missing.AttachCount, 0);
    dir.write("ATCH.lst", "three\r\n");
    EXPECT_EQ(LoadAttachmentList(FolderPath(dir.str()), missing).error(), "its count: not a decimal number");
    std::filesystem::resize_file(dir.write("ATCH.lst", "1\r\n"), (64 << 20) + 1);
    EXPECT_EQ(LoadAttachmentList(FolderPath(dir.str()), missing).error(),
        "it is larger than 64 MiB, more than an attachments list is read");
}

namespace {
std::string Text(DelimitedReader& r)
{
    auto v = r.ReadText();
    EXPECT_TRUE(v.ok());
    return v.ok() ? v.value() : std::string("<error>");
}
} // namespace

TEST(DelimitedReader, SplitsAtCommasAndEveryKindOfLineBreakKeepsEmptyValuesAndReadsSixteenBitIntegers)
{
    auto r = DelimitedReader::FromText("a,b\r\nc\nd\re,\"x, y\"\r\n  lead,\"multi\r\nline\"junk,last");
    for (const char* want : {"a", "b", "c", "d", "e", "x, y", "lead", "multi\r\nline", "last"})
        EXPECT_EQ(Text(r), want);
    EXPECT_EQ(r.ReadText().error(), ReadError::PrematureEnd);

    // Empty values, Windows-1252 text and a quote left open.
    r = DelimitedReader::FromText(",\r\n\r\nz,");
    for (const char* want : {"", "", "" /* the blank line */, "z", ""})
        EXPECT_EQ(Text(r), want);
    EXPECT_FALSE(r.ReadText().ok());

    r = DelimitedReader::FromText("Caf\xE9 \x80\x93,\x81,\"never closed");
    EXPECT_EQ(Text(r), "Caf\xC3\xA9 \xE2\x82\xAC\xE2\x80\x9C");
    EXPECT_EQ(Text(r), "\xC2\x81");
    EXPECT_EQ(r.ReadText().error(), ReadError::PrematureEnd);

    // Integers must be decimal and fit sixteen bits.
    r = DelimitedReader::FromText("32767,-32768, 12 ,\"7\",40000,-32769,12x,,+5,--1,99999999999999999999");
    using E = ReadError;
    using Read = std::variant<int, ReadError>;
    const Read wants[] = {32767, -32768, 12, 7, E::Overflow, E::Overflow, E::TypeMismatch, E::TypeMismatch, 5,
        E::TypeMismatch, E::Overflow};
    for (const Read& want : wants) {
        const auto got = r.ReadInt16();
        EXPECT_EQ(got.ok() ? Read(got.value()) : Read(got.error()), want);
    }
}

TEST(DelimitedReader, ReadsFilesLargerThanItsBufferLazily)
{
    test::TempDir dir;
    std::string big(200000, 'q');
    const auto path = dir.write("big.dat", "\"" + big + "\",1,tail");
    auto r = DelimitedReader::OpenFile(path);
    ASSERT_TRUE(r.ok());
    DelimitedReader reader = std::move(r).value();
    EXPECT_EQ((std::tuple {Text(reader), reader.ReadInt16().value(), Text(reader)}), std::tuple(big, 1, "tail"));
    const auto missing = DelimitedReader::OpenFile(dir.file("missing.dat"));
    EXPECT_EQ(
        std::tuple(missing.error().number, missing.error().text), std::tuple(ENOENT, "No such file or directory"));

    // Neither a run of NUL bytes nor a quote left open grows a value past its bound.
    const std::string nul(DelimitedReader::kMaxValueBytes + 1, '\0');
    for (const std::string& text : {nul, "1,\"" + nul}) {
        auto capped = DelimitedReader::OpenFile(dir.write("nul.dat", text)).value();
        (void)capped.Skip(text[0] == '1' ? 1 : 0);
        EXPECT_EQ(capped.ReadText().error(), ReadError::TooLong);
    }
    // A sparse file past the file bound is refused before anything is read.
    const std::string sparse = dir.file("sparse.dat");
    ASSERT_EQ(::truncate(dir.write("sparse.dat", "").c_str(), DelimitedReader::kMaxFileBytes + 1), 0);
    EXPECT_EQ(DelimitedReader::OpenFile(sparse).error().number, EFBIG);
}
