// varnex-cli decode on a pipe that stays open: each frame's line comes out as the frame
// arrives, not when the input ends.
#include "protocol/FrameEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace varnex::cli {
namespace {

int CountLines(const std::string& text)
{
    return int(std::count(text.begin(), text.end(), '\n'));
}

TEST(CliDecodeStream, LinesArriveWhileThePipeIsStillOpen)
{
    int in[2], out[2];
    ASSERT_EQ(::pipe2(in, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::execl(VARNEX_CLI, VARNEX_CLI, "decode", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);

    DisplayState s;
    s.mainDigits = "012345";
    s.mainPoint = 0;
    const WireFrame frame = EncodeFrame(s);
    ASSERT_EQ(::write(in[1], "\n", 1), 1); // the end of the frame before, as on a live line
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(::write(in[1], frame.data(), frame.size()), ssize_t(frame.size()));

    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (CountLines(text) < 2 && std::chrono::steady_clock::now() < end) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 50) > 0) {
            char buffer[512];
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n > 0)
                text.append(buffer, std::size_t(n));
        }
    }
    EXPECT_EQ(CountLines(text), 2) << text;
    EXPECT_NE(text.find("DCV"), std::string::npos) << text;

    ::close(in[1]); // the input ends: decode ends well
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(out[0]);
}

} // namespace
} // namespace varnex::cli
