#pragma once
// SIGINT, SIGTERM and SIGHUP (Ctrl+C, kill, a closed terminal or session) end the program
// in order instead of killing it: the handler only writes the signal's number to a pipe,
// and the event loop reads it and emits shutdownRequested, so the window can close without
// questions (nobody is there to answer), the ports close and every destructor runs.
// After the first signal the default action is back: a second one ends the program at once.
#include <QObject>

class QSocketNotifier;

namespace varnex {

class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    // One instance per program: it owns the three signals' dispositions while it lives.
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

    bool installed() const { return readEnd_ >= 0; }

signals:
    // Emitted once, on the UI thread, with the first signal's number.
    void shutdownRequested(int signalNumber);

private:
    void readPipe();
    void restoreDefaults();

    int readEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    bool emitted_ = false;
};

// The exit status of a program ended by a signal, as a shell reports it: 128 + number.
constexpr int ExitStatusForSignal(int signalNumber) { return 128 + signalNumber; }

} // namespace varnex
