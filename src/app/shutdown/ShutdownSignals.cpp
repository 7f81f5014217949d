#include "app/shutdown/ShutdownSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace varnex {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// The handler's only state: async-signal-safe by being a plain int.
volatile sig_atomic_t g_writeEnd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const int fd = g_writeEnd;
    if (fd >= 0) {
        const unsigned char number = static_cast<unsigned char>(signalNumber);
        (void)!::write(fd, &number, 1);
    }
    errno = savedErrno;
}

} // namespace

ShutdownSignals::ShutdownSignals(QObject* parent) : QObject(parent)
{
    int ends[2];
    if (g_writeEnd >= 0 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    readEnd_ = ends[0];
    g_writeEnd = ends[1];
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readPipe(); });

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

ShutdownSignals::~ShutdownSignals()
{
    if (readEnd_ < 0)
        return;
    restoreDefaults();
    const int writeEnd = g_writeEnd;
    g_writeEnd = -1;
    ::close(writeEnd);
    ::close(readEnd_);
}

void ShutdownSignals::restoreDefaults()
{
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : kSignals)
        ::sigaction(number, &action, nullptr);
}

void ShutdownSignals::readPipe()
{
    unsigned char number = 0;
    int first = 0;
    while (::read(readEnd_, &number, 1) == 1) {
        if (first == 0)
            first = number;
    }
    if (first == 0 || emitted_)
        return;
    emitted_ = true;
    restoreDefaults();
    emit shutdownRequested(first);
}

} // namespace varnex
