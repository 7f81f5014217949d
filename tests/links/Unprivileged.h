#pragma once
// Runs a piece of a test in a child process without the rights of the test's user: as
// "nobody" when the tests run as root (whom neither file modes nor a tty's exclusive
// mode stop), else as the user itself.
#include <functional>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace varnex::testing {

// The text `what` returns in the child, or "child failed".
inline std::string RunUnprivileged(const std::function<std::string()>& what)
{
    int out[2];
    if (pipe(out) != 0)
        return "pipe failed";
    const pid_t child = fork();
    if (child == 0) {
        ::close(out[0]);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(2);
        const std::string text = what();
        (void)!::write(out[1], text.data(), text.size());
        _exit(0);
    }
    ::close(out[1]);
    std::string text;
    char buffer[512];
    ssize_t n;
    while ((n = ::read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(n));
    ::close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child failed";
    return text;
}

} // namespace varnex::testing
