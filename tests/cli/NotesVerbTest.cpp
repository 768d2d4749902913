// pellam-cli mark and notes on copies of the sample incident, with the
// program's own folder in a home of the test's own.
#include "RunVerb.h"
#include "support/SampleIncident.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

namespace fs = std::filesystem;

namespace pellam::test {
namespace {

std::string CopyOfSample(const TempDir& dir, const std::string& name)
{
    return (SampleCopy(dir, name) / "4711.evt").string();
}

// The created and changed times are this machine's clock: they are checked
// for their form and taken out.
std::string WithoutTimes(const std::string& out)
{
    static const std::regex time(R"re("(created|changed)":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d")re");
    return std::regex_replace(out, time, "\"$1\":T");
}

} // namespace

TEST(NotesVerbs, MarksMadeFromAScriptAreListedAsJsonAndCsvAndGoStaleWithTheirRecording)
{
    TempDir home, evidence;
    const std::string ownHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", home.str().c_str(), 1);
    ::setenv("PELLAM_EXAMINER", "Sgt. Ilse Varga", 1);
    const std::string evt = CopyOfSample(evidence, "4711");
    const std::string own = home.file(".local/share/NorvikTECH-Pellam");

    EXPECT_EQ(std::tuple(RunVerb({"notes", evt}).out, RunVerb({"notes", evt, "--csv"}).out,
                  RunVerb({"notes", "--csv", evt}).out),
        std::tuple("{\"marks\":[]}\n", "on,recording,offset,source,position,note,examiner,created,changed,stale\r\n",
            "on,recording,offset,source,position,note,examiner,created,changed,stale\r\n"));
    EXPECT_FALSE(fs::exists(own)) << "reading notes makes no store";

    const CliOutput first
        = RunVerb({"mark", evt, "4711_Rec01_1433.mp3", "2.25", "subject mentions a \"second\" weapon"});
    EXPECT_EQ(std::tuple(first.status, WithoutTimes(first.out), first.err),
        std::tuple(0,
            "{\"on\":\"recording\",\"recording\":\"4711_Rec01_1433.mp3\",\"offset\":2.250,\"source\":null,"
            "\"position\":null,\"note\":\"subject mentions a \\\"second\\\" weapon\",\"examiner\":\"Sgt. Ilse Varga\","
            "\"created\":T,\"changed\":T,\"stale\":false}\n",
            ""));
    ::setenv("PELLAM_EXAMINER", "Lt. Omar Reyes", 1);
    EXPECT_EQ(RunVerb({"mark", evt, "4711_MIC01_1450.mp3", "9", "end, of MIC"}).status, 0);
    for (const auto& [recording, seconds] :
        std::vector<std::pair<std::string, std::string>> {{"4711_Gone.mp3", "1"}, {"4711_MIC01_1450.mp3", "9.001"},
            {"4711_MIC01_1450.mp3", "-1"}, {"4711_MIC01_1450.mp3", "1e1"}, {"4711_MIC01_1450.mp3", "nan"}}) {
        const CliOutput r = RunVerb({"mark", evt, recording, seconds, "x"});
        EXPECT_EQ(std::tuple(r.status, r.out), std::tuple(2, "")) << recording << " " << seconds << r.err;
    }
    EXPECT_NE(RunVerb({"mark", evt, "4711_Gone.mp3", "1", "x"}).err.find("4711_Gone.mp3: the recording is not listed"),
        std::string::npos);

    // The recording's content changes after the mark: the mark says so.
    std::ofstream(evidence.file("4711/4711_Rec01_1433.mp3"), std::ios::app) << "x";
    const CliOutput json = RunVerb({"notes", evt});
    EXPECT_EQ(WithoutTimes(json.out),
        "{\"marks\":[{\"on\":\"recording\",\"recording\":\"4711_Rec01_1433.mp3\",\"offset\":2.250,\"source\":null,"
        "\"position\":null,\"note\":\"subject mentions a \\\"second\\\" weapon\",\"examiner\":\"Sgt. Ilse Varga\","
        "\"created\":T,\"changed\":T,\"stale\":true},"
        "{\"on\":\"recording\",\"recording\":\"4711_MIC01_1450.mp3\",\"offset\":9.000,\"source\":null,"
        "\"position\":null,\"note\":\"end, of MIC\",\"examiner\":\"Lt. Omar Reyes\",\"created\":T,\"changed\":T,"
        "\"stale\":false}]}\n");
    const std::string csv = std::regex_replace(
        RunVerb({"notes", evt, "--csv"}).out, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)"), "T");
    EXPECT_EQ(csv,
        "on,recording,offset,source,position,note,examiner,created,changed,stale\r\n"
        "recording,4711_Rec01_1433.mp3,2.250,,,\"subject mentions a \"\"second\"\" weapon\",Sgt. Ilse "
        "Varga,T,T,true\r\n"
        "recording,4711_MIC01_1450.mp3,9.000,,,\"end, of MIC\",Lt. Omar Reyes,T,T,false\r\n");
    EXPECT_EQ(RunVerb({"notes", evt, "--tsv"}).status, 2);

    // A copy of the evidence folder finds its notes; another incident with
    // the same case number does not.
    EXPECT_NE(RunVerb({"notes", CopyOfSample(evidence, "copy")}).out.find("end, of MIC"), std::string::npos);
    const std::string other = CopyOfSample(evidence, "other");
    std::ofstream(other, std::ios::app) << "\r\n";
    EXPECT_EQ(RunVerb({"notes", other}).out, "{\"marks\":[]}\n");

    // The program's own folder inside the evidence: refused, nothing written there.
    ::setenv("HOME", evidence.file("4711").c_str(), 1);
    const CliOutput inside = RunVerb({"mark", evt, "4711_MIC01_1450.mp3", "1", "x"});
    EXPECT_EQ(inside.status, 2);
    EXPECT_NE(inside.err.find("inside the evidence folder"), std::string::npos) << inside.err;
    EXPECT_FALSE(fs::exists(evidence.file("4711/.local")));
    ::setenv("HOME", ownHome.c_str(), 1);
    ::unsetenv("PELLAM_EXAMINER");
}

} // namespace pellam::test
