#include "app/publisher/testing/MosquittoBroker.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace varnex::testing {
namespace {

int FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (fd >= 0)
            ::close(fd);
        throw std::runtime_error("no free loopback port");
    }
    ::close(fd);
    return ntohs(addr.sin_port);
}

bool Accepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

} // namespace

std::string MosquittoBroker::Executable()
{
    const char* path = std::getenv("PATH");
    std::string dirs = std::string(path ? path : "") + ":/usr/sbin:/usr/local/sbin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = dirs.find(':', start);
        const std::string dir = dirs.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!dir.empty()) {
            const std::string candidate = dir + "/mosquitto";
            if (::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return {};
}

MosquittoBroker::MosquittoBroker(BrokerOptions options) : options_(std::move(options))
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/varnex_broker_" + std::to_string(::getpid()) + "_XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a directory for the broker");
    dir_ = pattern;
    // Another process may take the port between our probe and the broker's bind: try again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = FreeLoopbackPort();
        writeConfig();
        if (launch())
            return;
    }
    throw std::runtime_error("mosquitto did not start; see " + dir_ + "/mosquitto.log");
}

MosquittoBroker::~MosquittoBroker()
{
    if (pid_ > 0)
        stop(SIGKILL);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

std::string MosquittoBroker::url(const std::string& prefix) const
{
    return "mqtt://127.0.0.1:" + std::to_string(port_) + "/" + prefix;
}

void MosquittoBroker::writeConfig()
{
    std::ofstream conf(dir_ + "/mosquitto.conf", std::ios::trunc);
    conf << "listener " << port_ << " 127.0.0.1\n"
         << "allow_anonymous true\n"
         // Started as root it would switch to the mosquitto user and lose its own files.
         << "user root\n"
         << "log_dest file " << dir_ << "/mosquitto.log\n"
         << "log_type error\nlog_type warning\nlog_type notice\n"
         << "max_queued_messages 0\n"
         << "max_inflight_messages 0\n";
    if (options_.persistence) {
        conf << "persistence true\n"
             << "persistence_location " << dir_ << "/\n"
             << "autosave_interval 1\n"
             << "autosave_on_changes true\n";
    } else {
        conf << "persistence false\n";
    }
    for (const std::string& line : options_.extraConfig)
        conf << line << "\n";
}

bool MosquittoBroker::launch()
{
    const std::string exe = Executable();
    if (exe.empty())
        throw std::runtime_error("mosquitto is not installed");
    const std::string conf = dir_ + "/mosquitto.conf";
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("cannot fork for mosquitto");
    if (pid == 0) {
        // Quiet: the broker logs to its file.
        ::freopen("/dev/null", "w", stdout);
        ::freopen((dir_ + "/stderr.log").c_str(), "a", stderr);
        ::execl(exe.c_str(), exe.c_str(), "-c", conf.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    pid_ = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false; // it ended: the port was taken, or the config is bad
        }
        if (Accepts(port_))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stop(SIGKILL);
    return false;
}

void MosquittoBroker::stop(int signal)
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

void MosquittoBroker::start()
{
    if (pid_ > 0)
        return;
    // The old socket may linger a moment; mosquitto reuses the address, but retry a few times.
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (launch())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    throw std::runtime_error("mosquitto did not start again on port " + std::to_string(port_));
}

} // namespace varnex::testing
