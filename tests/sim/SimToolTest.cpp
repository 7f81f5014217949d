// The varnex-sim tool as a user runs it: capture frames to stdout, or stream on a pty.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace std::chrono_literals;

// The tool this build made; VARNEX_BIN_DIR points at another build's bin folder.
std::string ToolPath()
{
    if (const char* dir = std::getenv("VARNEX_BIN_DIR"))
        return std::string(dir) + "/varnex-sim";
    return VARNEX_SIM_TOOL;
}

// Runs the tool to its end; its stdout and exit status.
struct Finished {
    std::string output;
    int status = -1;
};

Finished RunTool(const std::vector<std::string>& args)
{
    std::string command = ToolPath();
    for (const std::string& a : args)
        command += " '" + a + "'";
    command += " 2>/dev/null";
    Finished run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, got);
    run.status = ::pclose(pipe);
    return run;
}

TEST(SimTool, CaptureWritesWholeFramesToStdout)
{
    const Finished run = RunTool({"capture", "5"});
    ASSERT_EQ(run.status, 0);
    ASSERT_EQ(run.output.size(), 5u * 21u);
    for (std::size_t f = 0; f < 5; ++f) {
        EXPECT_EQ(run.output[f * 21], '0') << "DCV";
        EXPECT_EQ(run.output[f * 21 + 19], '\r');
        EXPECT_EQ(run.output[f * 21 + 20], '\n');
    }
    EXPECT_EQ(RunTool({"capture", "5"}).output, run.output) << "the same seed gives the same frames";
    EXPECT_NE(RunTool({"capture", "5", "--seed", "2"}).output, run.output);
}

TEST(SimTool, CapturePressesTheKeysFirst)
{
    const Finished run = RunTool({"capture", "1", "--keys", "GG"});
    ASSERT_EQ(run.output.size(), 21u);
    EXPECT_EQ(run.output[0], '7') << "CAP";
}

TEST(SimTool, BadArgumentsGiveUsage)
{
    EXPECT_EQ(WEXITSTATUS(RunTool({}).status), 2);
    EXPECT_EQ(WEXITSTATUS(RunTool({"capture"}).status), 2);
    EXPECT_EQ(WEXITSTATUS(RunTool({"capture", "x"}).status), 2);
    EXPECT_EQ(WEXITSTATUS(RunTool({"pty", "--seed"}).status), 2);
    EXPECT_EQ(WEXITSTATUS(RunTool({"serve"}).status), 2);
}

// Starts "varnex-sim pty" with extra arguments; its pid and the device path it printed.
bool StartPty(const std::vector<std::string>& extra, pid_t& pid, std::string& path)
{
    int out[2];
    if (::pipe(out) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const std::string tool = ToolPath();
    std::vector<std::string> args = {tool, "pty"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string line;
    pollfd p{out[0], POLLIN, 0};
    while (spawned == 0 && line.find('\n') == std::string::npos && ::poll(&p, 1, 3000) > 0) {
        char c[128];
        const ssize_t got = ::read(out[0], c, sizeof c);
        if (got <= 0)
            break;
        line.append(c, static_cast<std::size_t>(got));
    }
    ::close(out[0]);
    if (spawned != 0 || line.find('\n') == std::string::npos)
        return false;
    path = line.substr(0, line.find('\n'));
    return true;
}

bool StopWithSigterm(pid_t pid)
{
    ::kill(pid, SIGTERM);
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(SimTool, PtyLinkNamesTheDeviceWhileItRuns)
{
    char dir[] = "/tmp/varnex-sim-test-XXXXXX";
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const std::string link = std::string(dir) + "/com1";
    ASSERT_EQ(::symlink("/nonexistent", link.c_str()), 0);  // a stale link from an earlier run

    pid_t pid = 0;
    std::string path;
    ASSERT_TRUE(StartPty({"--link", link}, pid, path));
    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(path, target);
    EXPECT_TRUE(StopWithSigterm(pid));
    struct stat gone {};
    EXPECT_NE(::lstat(link.c_str(), &gone), 0) << "the link goes with the tool";

    const std::string file = std::string(dir) + "/file";
    FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_FALSE(StartPty({"--link", file}, pid, path)) << "a file is never replaced";
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    ::unlink(file.c_str());
    ::rmdir(dir);
}

TEST(SimTool, PtyPrintsTheDeviceStreamsAndStopsOnSigterm)
{
    pid_t pid = 0;
    std::string path;
    ASSERT_TRUE(StartPty({}, pid, path)) << "the tool printed its device";
    EXPECT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    const int port = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(port, 0) << path;
    termios t{};
    ::tcgetattr(port, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(port, TCSANOW, &t);
    std::string received;
    const auto end = std::chrono::steady_clock::now() + 1200ms;
    while (std::chrono::steady_clock::now() < end) {
        char c[64];
        const ssize_t got = ::read(port, c, sizeof c);
        if (got > 0)
            received.append(c, static_cast<std::size_t>(got));
        std::this_thread::sleep_for(20ms);
    }
    ::close(port);
    EXPECT_GE(received.size(), 21u);
    EXPECT_NE(received.find("\r\n"), std::string::npos);
    EXPECT_TRUE(StopWithSigterm(pid)) << "stopped cleanly, not killed by the signal";
}

} // namespace
