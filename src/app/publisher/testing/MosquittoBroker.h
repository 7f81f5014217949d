#pragma once
// A real Mosquitto broker for tests and benchmarks: its own config file and data in a
// temporary directory of its own, listening on a free loopback port that it keeps across
// stop() and start(), so a test can kill it and bring it back where clients look for it.
#include <csignal>
#include <string>
#include <vector>

#include <sys/types.h>

namespace varnex::testing {

struct BrokerOptions {
    // Keep sessions and queued messages on disk, saved after every change, so that a
    // persistent subscriber gets what arrived while it was away, across a restart.
    bool persistence = false;
    std::vector<std::string> extraConfig; // more lines for mosquitto.conf
};

class MosquittoBroker {
public:
    explicit MosquittoBroker(BrokerOptions options = {});
    ~MosquittoBroker();
    MosquittoBroker(const MosquittoBroker&) = delete;
    MosquittoBroker& operator=(const MosquittoBroker&) = delete;

    int port() const { return port_; }
    const std::string& directory() const { return dir_; }
    // "mqtt://127.0.0.1:PORT/prefix"
    std::string url(const std::string& prefix) const;
    bool running() const { return pid_ > 0; }

    // Sends `signal` and waits for the broker to end.
    void stop(int signal = SIGTERM);
    // Starts it again on the same port and waits until it takes connections; throws if
    // it does not come up.
    void start();

    // Finds the mosquitto executable (PATH, then /usr/sbin); empty if there is none.
    static std::string Executable();

private:
    void writeConfig();
    bool launch();

    BrokerOptions options_;
    std::string dir_;
    int port_ = 0;
    pid_t pid_ = -1;
};

} // namespace varnex::testing
