#include "workspace/ServKILL.h"

#include "support/Eventually.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

using namespace pellam;

namespace {

ProcessSource Fixed(std::vector<std::vector<std::string>> names)
{
    return [names] {
        std::vector<ProcessNames> out;
        for (const auto& n : names)
            out.push_back(ProcessNames {n});
        return ProcessList(out);
    };
}

// A copy of `sleep` under a chosen name, started and killed with the test.
class NamedProcess {
public:
    NamedProcess(const test::TempDir& dir, const std::string& name)
    {
        const std::string exe = dir.file(name);
        if (!std::filesystem::exists(exe))
            std::filesystem::copy_file("/bin/sleep", exe);
        char* argv[] = {const_cast<char*>(exe.c_str()), const_cast<char*>("30"), nullptr};
        if (::posix_spawn(&m_pid, exe.c_str(), nullptr, nullptr, argv, environ) != 0)
            m_pid = 0;
    }
    ~NamedProcess()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool started() const { return m_pid > 0; }

private:
    pid_t m_pid = 0;
};

} // namespace

TEST(ProcessCheck, SuffixMatchesAndFailuresAreTold)
{
    EXPECT_TRUE(ProcessMatches({{"myLAME.exe"}}, "LAME.exe", false));
    EXPECT_FALSE(ProcessMatches({{"lame.exe.bak"}}, "LAME.exe", true));
    EXPECT_FALSE(ProcessMatches({{"Vistrel.exe "}}, "Vistrel.exe", false));
    EXPECT_TRUE(ProcessRunning("Vistrel.exe", Fixed({{"init"}, {" Vistrel.exe "}})).value()) << "blanks trimmed";
    const auto one = Fixed({{"init"}, {"/usr/bin/LAME"}});
    EXPECT_EQ(std::pair(ProcessRunning("lame", one).value(), ProcessRunning("Vistrel.exe", one).value()),
        std::pair(true, false));

    // An unreadable process list gives the message.
    const ProcessSource broken = [] { return ProcessList(fail(SystemError(EACCES))); };
    const auto running = ProcessRunning("Vistrel.exe", broken);
    ASSERT_FALSE(running);
    const Message shown = ProcessRunningFailedMessage(running.error());
    EXPECT_EQ(std::tuple(shown.title, shown.text),
        std::tuple("Process Error", "Error occurred while checking processes.\r\nError# 13 - Permission denied"));
    EXPECT_EQ(ReadProcFs("/nonexistent-proc").error().number, ENOENT);
}

TEST(ProcessCheck, SeesRealProcessesWithNamesLongerThanCommHolds)
{
    test::TempDir dir;
    // Over 15 characters, which /proc/PID/comm would cut; the process id
    // keeps copies of this test running elsewhere apart.
    const std::string name = "pellam-" + std::to_string(::getpid()) + "-myLAME.exe";
    const std::string tail = std::to_string(::getpid()) + "-MYLAME.EXE"; // an end of the name, in capitals
    EXPECT_FALSE(ProcessRunning(name).value());
    NamedProcess first(dir, name);
    ASSERT_TRUE(first.started());
    EXPECT_TRUE(test::Eventually([&] { return ProcessRunning(tail).value(); }));
}
