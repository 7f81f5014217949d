// The program, run as a child process (offscreen) with COM1 on a real pty and rows logged
// from frames the test sends, is ended by SIGTERM, SIGINT or SIGHUP: it closes without a
// question, returns 128 + the signal's number from main, and the pty can be opened again
// at once, with no exclusive flag left behind.
#include "../links/PtyPair.h"
#include "../links/Unprivileged.h"
#include "app/shutdown/ShutdownSignals.h"
#include "links/ExclusiveTty.h"
#include "protocol/FrameEncoder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sys/stat.h>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace varnex {
namespace {

namespace fs = std::filesystem;
using testing::PtyPair;
using Clock = std::chrono::steady_clock;

struct SignalCase {
    const char* name;
    int number;
};
std::ostream& operator<<(std::ostream& os, const SignalCase& c) { return os << c.name; }

// The running program; killed for good if a test leaves it behind.
class ProgramProcess {
public:
    ProgramProcess(const std::vector<std::string>& arguments)
    {
        const std::string program = VARNEX_PROGRAM;
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0)
                env.emplace_back(*e);
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        spawned_ = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ProgramProcess()
    {
        if (running()) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool spawned() const { return spawned_; }
    pid_t pid() const { return pid_; }
    bool running() const { return spawned_ && !reaped_; }

    // Whether one of its descriptors is open on `path`.
    bool holds(const std::string& path) const
    {
        std::error_code ec;
        for (fs::directory_iterator it("/proc/" + std::to_string(pid_) + "/fd", ec), end; !ec && it != end;
             it.increment(ec)) {
            if (fs::read_symlink(it->path(), ec) == fs::path(path))
                return true;
        }
        return false;
    }
    // The wait status, or nothing when it has not ended within timeoutMs.
    std::optional<int> waitForEnd(int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::nullopt;
    }

private:
    pid_t pid_ = -1;
    bool spawned_ = false;
    bool reaped_ = false;
};

int exclusiveFlag(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return -1;
    int flag = -1;
    if (ioctl(fd, TIOCGEXCL, &flag) != 0)
        flag = -1;
    ::close(fd);
    return flag;
}

class app_ShutdownSignals : public ::testing::TestWithParam<SignalCase> {};

TEST_P(app_ShutdownSignals, EndsInOrderWithoutQuestionsAndFreesTheComPort)
{
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    ProgramProcess program({"--com1", pty.slavePath(), "--connect", "com"});
    ASSERT_TRUE(program.spawned());

    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (!program.holds(pty.slavePath()) && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(program.holds(pty.slavePath())) << "COM1 was never opened";
    // Held for this program alone meanwhile.
    const ExclusiveTtyResult meanwhile = OpenTtyExclusively(pty.slavePath());
    EXPECT_EQ(meanwhile.fd, -1);
    EXPECT_EQ(meanwhile.error, EBUSY);
    CloseExclusiveTty(meanwhile.fd);

    // Readings arrive and are logged, so closing from the title bar would ask about them.
    DisplayState state;
    state.mainDigits = "012345";
    const WireFrame frame = EncodeFrame(state);
    for (int i = 0; i < 8; ++i) {
        pty.meterSends(std::vector<std::uint8_t>(frame.begin(), frame.end()));
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
    }

    ASSERT_EQ(::kill(program.pid(), GetParam().number), 0);
    const std::optional<int> status = program.waitForEnd(10000);
    ASSERT_TRUE(status.has_value()) << "still running 10 s after " << GetParam().name << ": waiting for an answer?";
    ASSERT_TRUE(WIFEXITED(*status)) << "killed by signal " << (WIFSIGNALED(*status) ? WTERMSIG(*status) : 0)
                                    << " instead of ending in order";
    EXPECT_EQ(WEXITSTATUS(*status), ExitStatusForSignal(GetParam().number));

    EXPECT_EQ(exclusiveFlag(pty.slavePath()), 0);
    ASSERT_EQ(chmod(pty.slavePath().c_str(), 0666), 0);
    const std::string userOpen = testing::RunUnprivileged([&] {
        const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const std::string result = fd >= 0 ? "opened" : std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return result;
    });
    EXPECT_EQ(userOpen, "opened") << "a normal user's next open";
    const ExclusiveTtyResult again = OpenTtyExclusively(pty.slavePath());
    EXPECT_GE(again.fd, 0) << again.message;
    CloseExclusiveTty(again.fd);
}

INSTANTIATE_TEST_SUITE_P(Program, app_ShutdownSignals,
                         ::testing::Values(SignalCase{"Sigterm", SIGTERM}, SignalCase{"Sigint", SIGINT},
                                           SignalCase{"Sighup", SIGHUP}),
                         [](const ::testing::TestParamInfo<SignalCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace varnex
