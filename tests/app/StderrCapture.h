#pragma once
// Collects what the program writes to standard error while it lives (a temporary file
// of this process stands in for fd 2).
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace varnex::testing {

class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        char name[] = "/tmp/varnex-stderr-XXXXXX";
        file_ = mkstemp(name);
        if (file_ >= 0)
            ::unlink(name);
        saved_ = dup(STDERR_FILENO);
        if (file_ >= 0)
            dup2(file_, STDERR_FILENO);
    }
    ~StderrCapture()
    {
        restore();
        if (file_ >= 0)
            ::close(file_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string text()
    {
        std::fflush(stderr);
        std::string out;
        char buffer[4096];
        ssize_t n;
        off_t at = 0;
        while ((n = pread(file_, buffer, sizeof buffer, at)) > 0) {
            out.append(buffer, std::size_t(n));
            at += n;
        }
        return out;
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }
    int file_ = -1;
    int saved_ = -1;
};

} // namespace varnex::testing
