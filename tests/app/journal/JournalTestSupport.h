#pragma once
// Helpers for the journal tests: rows to journal, a second connection to look at the file,
// a child process that streams rows, and waiting with the event loop running.
#include "app/journal/JournalDatabase.h"
#include "log/LoggedRowListener.h"
#include "log/MeasurementLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace varnex::testing {

inline std::string JournalPath(const QString& dir)
{
    return QDir(dir).filePath(QLatin1String(kJournalFileName)).toStdString();
}

// Runs the event loop until `done` holds or the time is up; returns done().
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A row as the log hands it to its listeners.
struct RowTexts {
    std::string time = "12:00:00", function = "DCV", value = "1.23456", unit = "V", value2, unit2;
};
inline LoggedRow MakeLoggedRow(const RowTexts& t, std::int32_t no, std::int64_t utcMs,
                               RowSource source = RowSource::Meter)
{
    LoggedRow row;
    row.row = LogRowInput{no, t.time, t.function, t.value, t.unit, t.value2, t.unit2};
    row.utcMs = utcMs;
    row.si = ToSiQuantity(t.value, t.unit, ".");
    row.source = source;
    return row;
}

inline JournalRecord MakeRecord(std::int32_t no, std::int64_t utcMs, const std::string& value = "1.00000")
{
    JournalRecord r;
    r.no = no;
    r.utcMs = utcMs;
    r.time = "12:00:00";
    r.function = "DCV";
    r.value = value;
    r.unit = "V";
    r.siValue = 1.0;
    r.siUnit = "V";
    r.plainUnit = "V";
    return r;
}

// Every row of a run, read through a connection of its own.
inline std::vector<JournalRecord> RowsOf(JournalDatabase& db, std::int64_t run)
{
    std::vector<JournalRecord> rows;
    db.readRun(run, [&](const JournalRecord& r) { rows.push_back(r); });
    return rows;
}

// The stream child (JournalStreamChild.cpp) with a pipe on its stdout.
class StreamChild {
public:
    explicit StreamChild(const std::vector<std::string>& args)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[1], 1);
            ::close(fds[0]);
            ::close(fds[1]);
            std::vector<char*> argv;
            static std::string program = JOURNAL_STREAM_CHILD;
            argv.push_back(program.data());
            std::vector<std::string> copy = args;
            for (std::string& a : copy)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        fd_ = fds[0];
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    }
    ~StreamChild()
    {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0)
            ::close(fd_);
    }
    pid_t pid() const { return pid_; }

    // Reads what the child wrote for up to `ms`; complete lines go to `lines`.
    void read(int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(std::max<long long>(0, left.count()))) > 0) {
                char buffer[65536];
                const ssize_t n = ::read(fd_, buffer, sizeof buffer);
                if (n > 0) {
                    partial_.append(buffer, std::size_t(n));
                    for (std::size_t at; (at = partial_.find('\n')) != std::string::npos;) {
                        lines.push_back(partial_.substr(0, at));
                        partial_.erase(0, at + 1);
                    }
                } else if (n == 0) {
                    eof_ = true;
                    return;
                }
            }
            if (std::chrono::steady_clock::now() >= end)
                return;
        }
    }
    // Reads until a line starting with `prefix` came (true) or the time is up.
    bool readUntil(const std::string& prefix, int ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        std::size_t seen = 0;
        while (std::chrono::steady_clock::now() < end && !eof_) {
            read(20);
            for (; seen < lines.size(); ++seen)
                if (lines[seen].rfind(prefix, 0) == 0)
                    return true;
        }
        for (; seen < lines.size(); ++seen)
            if (lines[seen].rfind(prefix, 0) == 0)
                return true;
        return false;
    }
    void killNow()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        reaped_ = true;
    }
    int wait()
    {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        reaped_ = true;
        return status;
    }
    // After the child is gone: whatever is still in the pipe.
    void drain()
    {
        while (!eof_)
            read(50);
    }

    std::vector<std::string> lines;

private:
    pid_t pid_ = -1;
    int fd_ = -1;
    bool reaped_ = false;
    bool eof_ = false;
    std::string partial_;
};

} // namespace varnex::testing
