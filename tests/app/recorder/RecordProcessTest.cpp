// Runs `varnex-cli record` as a child process on a real pseudo-terminal, as a user would
// run it beside a meter: rows stream on its standard output while the port stays open,
// and SIGINT/SIGTERM end it with the log saved.
#include "app/publisher/testing/BrokerSubscriber.h"
#include "app/publisher/testing/MosquittoBroker.h"
#include "protocol/FrameEncoder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace varnex {
namespace {

using Clock = std::chrono::steady_clock;

struct Pty {
    int master = -1;
    std::string slave;
    ~Pty()
    {
        if (master >= 0)
            ::close(master);
    }
};

void OpenPty(Pty& pty)
{
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(pty.master, 0);
    ASSERT_EQ(::grantpt(pty.master), 0);
    ASSERT_EQ(::unlockpt(pty.master), 0);
    pty.slave = ::ptsname(pty.master);
}

// The meter's stream runs before the port opens: the LF that ends the frame before the
// first one is what the assembler takes as its leading "A".
void WriteLineEnd(int master)
{
    ASSERT_EQ(::write(master, "\n", 1), 1);
}

void WriteFrame(int master, int value)
{
    DisplayState s;
    char digits[8];
    std::snprintf(digits, sizeof digits, "%06d", value % 1000000);
    s.mainDigits = digits;
    s.mainPoint = 0;
    const WireFrame frame = EncodeFrame(s);
    ASSERT_EQ(::write(master, frame.data(), frame.size()), ssize_t(frame.size()));
}

std::string TempPath(const std::string& name)
{
    return ::testing::TempDir() + "varnex_record_" + std::to_string(::getpid()) + "_" + name;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string DataDir()
{
    return TempPath("data");
}

// The child with its standard output and error on pipes, read without blocking.
class Child {
public:
    explicit Child(std::vector<std::string> args, const std::vector<std::string>& prefix = {})
    {
        // Each child journals into a folder of its own, never the user's.
        args.push_back("--data-dir");
        args.push_back(DataDir());
        int out[2], err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
            std::abort();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            std::vector<std::string> all = prefix;
            all.push_back(VARNEX_CLI);
            all.push_back("record");
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : all)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }
    ~Child()
    {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    // Reads until `lines` lines reached standard output or the time ran out.
    int waitForLines(std::size_t lines, std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        while (countLines() < lines && Clock::now() < end)
            pump(20);
        return int(countLines());
    }
    bool waitForErr(const std::string& text, std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        while (err.find(text) == std::string::npos && Clock::now() < end)
            pump(20);
        return err.find(text) != std::string::npos;
    }
    int stop(int signal)
    {
        ::kill(pid_, signal);
        return waitExit();
    }
    int waitExit()
    {
        int status = 0;
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < end) {
            pump(20);
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                while (pump(0)) {
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
        }
        return -1;
    }

    std::string out, err;

private:
    std::size_t countLines() const { return std::size_t(std::count(out.begin(), out.end(), '\n')); }
    bool pump(int timeoutMs)
    {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, timeoutMs) <= 0)
            return false;
        bool any = false;
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP)))
                continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? out : err).append(buffer, std::size_t(n));
                any = true;
            }
        }
        return any;
    }

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    bool reaped_ = false;
};

constexpr auto kWait = std::chrono::seconds(8);

class RecordProcess : public ::testing::TestWithParam<int> {};

TEST_P(RecordProcess, RowsStreamLiveAndTheStopSignalSavesEveryRow)
{
    Pty pty;
    ASSERT_NO_FATAL_FAILURE(OpenPty(pty));
    const std::string outFile = TempPath("rows_" + std::to_string(GetParam()) + ".txt");
    ::unlink(outFile.c_str());
    Child child({"--port", pty.slave, "-o", outFile});
    ASSERT_TRUE(child.waitForErr("recording from", kWait)) << child.err;
    WriteLineEnd(pty.master);

    for (int i = 1; i <= 3; ++i)
        WriteFrame(pty.master, i);
    // The port is still open and more is to come: the rows are on stdout already.
    ASSERT_EQ(child.waitForLines(3, kWait), 3) << child.out << child.err;
    for (int i = 4; i <= 5; ++i)
        WriteFrame(pty.master, i);
    ASSERT_EQ(child.waitForLines(5, kWait), 5);

    EXPECT_EQ(child.stop(GetParam()), 0) << child.err;
    std::istringstream lines(child.out);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
        ++n;
        EXPECT_EQ(line.rfind(std::to_string(n) + "\t20", 0), 0u) << line; // No, then the ISO time
        EXPECT_NE(line.find("\tDCV\t"), std::string::npos) << line;
    }
    const std::string saved = ReadFile(outFile);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 6) << saved; // header + 5 rows
    EXPECT_EQ(saved.rfind("No\tTime\tFunction\tValue\tUnit\tValue2\tUnit2", 0), 0u);
    EXPECT_NE(child.err.find("5 readings logged"), std::string::npos) << child.err;

    // The journal holds the run's five rows, and the save made them safe.
    std::string list;
    if (std::FILE* p = ::popen((std::string(VARNEX_CLI) + " journal list --data-dir '" + DataDir() + "'").c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, p))
            list = buffer; // the newest run is the last line
        ::pclose(p);
    }
    EXPECT_NE(list.find("\t5\tsaved"), std::string::npos) << list;
}

INSTANTIATE_TEST_SUITE_P(Signals, RecordProcess, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGINT ? "Sigint" : "Sigterm");
                         });

// The port is named by a symbolic link (as /dev/serial/by-id/... names an adapter) that
// moves to a new pseudo-terminal when the cable is plugged in again.
void Replug(Pty& pty, const std::string& link)
{
    ::close(pty.master);
    pty.master = -1;
    ASSERT_NO_FATAL_FAILURE(OpenPty(pty));
    const std::string temporary = link + ".new";
    ::unlink(temporary.c_str());
    ASSERT_EQ(::symlink(pty.slave.c_str(), temporary.c_str()), 0);
    ASSERT_EQ(::rename(temporary.c_str(), link.c_str()), 0);
}

TEST(RecordProcessReconnect, APulledCableComesBackAndEveryReadingIsLoggedOnce)
{
    Pty pty;
    ASSERT_NO_FATAL_FAILURE(OpenPty(pty));
    const std::string link = TempPath("by-id-link");
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(pty.slave.c_str(), link.c_str()), 0);
    Child child({"--port", link});
    ASSERT_TRUE(child.waitForErr("recording from", kWait)) << child.err;
    WriteLineEnd(pty.master);
    for (int i = 1; i <= 2; ++i)
        WriteFrame(pty.master, i);
    ASSERT_EQ(child.waitForLines(2, kWait), 2) << child.err;

    // Pulled: the port hangs up and its node goes (a freed pty number may go to another
    // program at once).
    ::unlink(link.c_str());
    ::close(pty.master);
    pty.master = -1;
    ASSERT_TRUE(child.waitForErr("was lost", kWait)) << child.err;
    Replug(pty, link);
    ASSERT_TRUE(child.waitForErr("is back", kWait)) << child.err;
    // The frame before the pull ended with its LF: the next whole frame completes it.
    for (int i = 3; i <= 5; ++i)
        WriteFrame(pty.master, i);
    ASSERT_EQ(child.waitForLines(5, kWait), 5) << child.out << child.err;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(child.stop(SIGTERM), 0);

    std::istringstream lines(child.out);
    std::string line;
    std::vector<int> numbers;
    while (std::getline(lines, line))
        numbers.push_back(std::stoi(line));
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5}));
    // One line per loss and one per recovery, not one per try.
    EXPECT_EQ(std::count(child.err.begin(), child.err.end(), '\n'), 4) << child.err;
    // The gap is in the journal: lost after row 2, back before row 3.
    std::string events;
    const std::string query = "sqlite3 -separator ' ' '" + DataDir() +
                              "/journal.sqlite' \"SELECT after_seq, kind FROM run_events WHERE run_id ="
                              " (SELECT max(id) FROM runs) ORDER BY rowid\"";
    if (std::FILE* p = ::popen(query.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p))
            events += buffer;
        ::pclose(p);
    }
    EXPECT_EQ(events, "2 link_lost\n2 link_back\n");
    ::unlink(link.c_str());
}

TEST(RecordProcessMqtt, EveryReadingReachesTheBrokerAndTheStatusSaysOffline)
{
    testing::MosquittoBroker broker; // its own config, a free loopback port
    testing::BrokerSubscriber subscriber(broker.port(), {"bench/#"});
    ASSERT_TRUE(subscriber.waitSubscribed(std::chrono::seconds(10)));
    Pty pty;
    ASSERT_NO_FATAL_FAILURE(OpenPty(pty));
    Child child({"--port", pty.slave, "--mqtt", broker.url("bench")});
    ASSERT_TRUE(child.waitForErr("recording from", kWait)) << child.err;
    ASSERT_TRUE(child.waitForErr("connected", kWait)) << child.err;
    WriteLineEnd(pty.master);
    for (int i = 1; i <= 4; ++i)
        WriteFrame(pty.master, i);
    ASSERT_EQ(child.waitForLines(4, kWait), 4);
    ASSERT_TRUE(subscriber.waitFor([](const std::vector<testing::ReceivedMessage>& m) {
        return std::count_if(m.begin(), m.end(), [](auto& x) { return x.topic == "bench/reading"; }) == 4;
    }, std::chrono::seconds(10)));
    const auto readings = subscriber.messagesOn("bench/reading");
    ASSERT_EQ(readings.size(), 4u);
    EXPECT_NE(readings[0].payload.find("\"no\":1,"), std::string::npos) << readings[0].payload;
    EXPECT_NE(readings[3].payload.find("\"value\":\"0.00004\""), std::string::npos) << readings[3].payload;
    EXPECT_NE(readings[3].payload.find("\"si_unit\":\"V\""), std::string::npos) << readings[3].payload;

    EXPECT_EQ(child.stop(SIGTERM), 0) << child.err;
    ASSERT_TRUE(subscriber.waitFor([](const std::vector<testing::ReceivedMessage>& m) {
        return !m.empty() && m.back().topic == "bench/status" && m.back().payload == "offline";
    }, std::chrono::seconds(10)));
}

TEST(RecordProcessMqtt, ABadUrlIsRefusedAtOnce)
{
    Child child({"--port", "/dev/null", "--mqtt", "http://nowhere/x"});
    EXPECT_EQ(child.waitExit(), 2);
    EXPECT_NE(child.err.find("--mqtt"), std::string::npos) << child.err;
}

TEST(RecordProcessLimit, RowsBeyondTheLimitAreNotLogged)
{
    Pty pty;
    ASSERT_NO_FATAL_FAILURE(OpenPty(pty));
    Child child({"--port", pty.slave, "--limit", "2"});
    ASSERT_TRUE(child.waitForErr("recording from", kWait)) << child.err;
    WriteLineEnd(pty.master);
    for (int i = 1; i <= 4; ++i)
        WriteFrame(pty.master, i);
    child.waitForLines(2, kWait);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // room for a wrong third row
    EXPECT_EQ(child.stop(SIGINT), 0);
    EXPECT_EQ(std::count(child.out.begin(), child.out.end(), '\n'), 2) << child.out;
}

TEST(RecordProcessOpen, AMissingPortIsAnErrorWithTheReason)
{
    Child child({"--port", "/dev/varnex-no-such-port"});
    EXPECT_EQ(child.waitExit(), 1);
    EXPECT_NE(child.err.find("No such file or directory"), std::string::npos) << child.err;
    EXPECT_NE(child.err.find("/dev/serial/by-id/"), std::string::npos) << child.err;
}

TEST(RecordProcessOpen, APortHeldByAnotherProgramIsBusy)
{
    Pty pty;
    ASSERT_NO_FATAL_FAILURE(OpenPty(pty));
    const int holder = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    Child child({"--port", pty.slave});
    EXPECT_EQ(child.waitExit(), 1) << child.err;
    EXPECT_NE(child.err.find("in use"), std::string::npos) << child.err;
    ::close(holder);
}

TEST(RecordProcessOpen, APortWithoutPermissionNamesTheDialoutGroup)
{
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to run the check as an unprivileged user";
    Pty pty;
    ASSERT_NO_FATAL_FAILURE(OpenPty(pty));
    ASSERT_EQ(::chmod(pty.slave.c_str(), 0600), 0);
    Child child({"--port", pty.slave}, {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    EXPECT_EQ(child.waitExit(), 1) << child.err;
    EXPECT_NE(child.err.find("Permission denied"), std::string::npos) << child.err;
    EXPECT_NE(child.err.find("dialout"), std::string::npos) << child.err;
}

} // namespace
} // namespace varnex
