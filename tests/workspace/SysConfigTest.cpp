#include "workspace/SysConfig.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace pellam;

namespace {

std::string SysCfg(const std::string& roleLabel)
{
    return "\"a\",\"b\",3,\"d\",\"e\",\"f\",\"g\",\"h\",\"" + roleLabel +
           "\",\"j\",\"k\",\"l\",13,14,15,16,\"q\",\"r\",\"s\",\"t\"\r\n";
}

const char* const kSCfg = "\"Relative\",\"Captive\",\"Bystander\",\"Misc\",\"Guardian\",\"Injured\",\"Observer\"\r\n";

} // namespace

TEST(SysConfig, RoleZeroComesFromSGfgOnlyWhenSCfgLoads)
{
    test::TempDir withScfg;
    withScfg.write("SGfg.dat", SysCfg("Target"));
    withScfg.write("SCfg.dat", kSCfg);
    RoleTable roles;
    ASSERT_FALSE(LoadSysConfig(withScfg.str() + "/", roles).has_value());
    SetRoleNames(withScfg.str() + "/", roles);
    EXPECT_EQ(roles.RoleName(0), "Target");
    EXPECT_EQ(roles.RoleName(2), "Captive");
    EXPECT_EQ(roles.RoleName(8), "UNK");

    test::TempDir without;
    without.write("SGfg.dat", SysCfg("Target"));
    RoleTable defaults;
    ASSERT_FALSE(LoadSysConfig(without.str() + "/", defaults).has_value());
    SetRoleNames(without.str() + "/", defaults);
    EXPECT_EQ(defaults.RoleName(0), "Subject") << "without SCfg.dat role 0 falls back to RoleName0";
    EXPECT_EQ(defaults.RoleName(7), "Witness");
}

TEST(SysConfig, ATwoCharacterLabelIsNotUsed)
{
    test::TempDir dir;
    dir.write("SGfg.dat", SysCfg("TG"));
    RoleTable roles;
    ASSERT_FALSE(LoadSysConfig(dir.str() + "/", roles).has_value());
    EXPECT_EQ(roles.RoleNames[0], "");
}

TEST(SysConfig, MissingOrMalformedFileGivesTheDataLoadErrorBox)
{
    const Message want{"Data Load Error", "Error opening Cordane System Configuration Data file.",
                       MessageIcon::Exclamation};
    test::TempDir dir;
    RoleTable roles;
    EXPECT_EQ(LoadSysConfig(dir.str() + "/", roles), want);
    dir.write("SGfg.dat", "\"a\",\"b\",notanumber,\"d\"");
    EXPECT_EQ(LoadSysConfig(dir.str() + "/", roles), want);
    dir.write("SGfg.dat", SysCfg("Target").substr(0, 40));
    EXPECT_EQ(LoadSysConfig(dir.str() + "/", roles), want);
}

TEST(SysConfig, ShortSCfgFallsBackToTheDefaults)
{
    test::TempDir dir;
    dir.write("SCfg.dat", "\"One\",\"Two\"");
    RoleTable roles;
    roles.RoleName0 = "X"; // shorter than two characters: replaced
    SetRoleNames(dir.str() + "/", roles);
    EXPECT_EQ(roles.RoleName(0), "Subject");
    EXPECT_EQ(roles.RoleName(1), "Family");
}

TEST(AttachmentList, ReadsGroupsInFileOrderIntoNamedFields)
{
    test::TempDir dir;
    dir.write("ATCH.lst", "2\r\n\"Floor plan, level 2\",\"Photo\",\"plan.jpg\",\"120 KB\"\r\n"
                          "\"Warrant\",\"Acrobat DOC\",\"warrant.pdf\",\"40 KB\"\r\n");
    AttachmentList list;
    LoadAttachmentList(dir.str() + "/", list);
    ASSERT_EQ(list.AttachCount, 2);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].FileName, "plan.jpg");
    EXPECT_EQ(list.entries[0].Description, "Floor plan, level 2");
    EXPECT_EQ(list.entries[1].ApproxSize, "40 KB");
}

TEST(AttachmentList, CountsZeroShortAndAboveTheLimit)
{
    test::TempDir dir;
    AttachmentList empty;
    dir.write("ATCH.lst", "0\r\n");
    LoadAttachmentList(dir.str() + "/", empty);
    EXPECT_EQ(empty.AttachCount, 0);
    EXPECT_TRUE(empty.entries.empty());

    AttachmentList cut;
    dir.write("ATCH.lst", "3\r\n\"d\",\"t\",\"f\",\"s\",\"d2\",\"t2\"");
    LoadAttachmentList(dir.str() + "/", cut);
    EXPECT_EQ(cut.AttachCount, 3);
    ASSERT_EQ(cut.entries.size(), 2u);
    EXPECT_EQ(cut.entries[1].FileType, "t2");
    EXPECT_EQ(cut.entries[1].FileName, "");

    std::string many = "1200\r\n";
    for (int i = 0; i < 1200; ++i)
        many += "\"d\",\"t\",\"f" + std::to_string(i) + "\",\"s\"\r\n";
    dir.write("ATCH.lst", many);
    AttachmentList big;
    LoadAttachmentList(dir.str() + "/", big);
    EXPECT_EQ(big.AttachCount, 1200);
    ASSERT_EQ(big.entries.size(), 1000u);
    EXPECT_EQ(big.entries.back().FileName, "f999");

    AttachmentList missing;
    LoadAttachmentList(dir.str() + "/nowhere/", missing);
    EXPECT_EQ(missing.AttachCount, 0);
}

TEST(FileCategory, MapsExtensionsWithoutRegardToCase)
{
    EXPECT_EQ(FileCategory("MP3"), "Audio File");
    EXPECT_EQ(FileCategory("mP3"), "Audio File");
    EXPECT_EQ(FileCategory("jpeg"), "Photo");
    EXPECT_EQ(FileCategory("aspx"), "Web File");
    EXPECT_EQ(FileCategory("ra"), "Audio File");
    EXPECT_EQ(FileCategory("r"), "R") << "a prefix of a known extension is not that extension";
    EXPECT_EQ(FileCategory(".mp3"), "Unknown");
    EXPECT_EQ(FileCategory("xyz"), "XYZ");
    EXPECT_EQ(FileCategory(""), "Unknown");
}
