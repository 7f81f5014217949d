#pragma once
// SIGINT, SIGTERM and SIGHUP turned into a call on the event loop's thread: the handler
// only writes a byte to a pipe, the loop reads it and runs `onStop` once, so the program
// can save and close its port in order instead of dying mid-write.
#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace varnex {

class StopSignals : public QObject {
public:
    // Installs the handlers; at most one instance at a time. `onStop` gets the signal.
    explicit StopSignals(std::function<void(int signal)> onStop, QObject* parent = nullptr);
    ~StopSignals() override; // puts the previous handlers back

    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    void readSignal();

    std::function<void(int)> onStop_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool stopped_ = false;
};

} // namespace varnex
