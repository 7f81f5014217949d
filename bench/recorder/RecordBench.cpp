// CPU that `varnex-cli record` takes while the meter streams at the wire's full rate:
// 9600 baud, 7N2 (10 bits a byte), 21 bytes a frame = 45.7 frames/s. The recorder runs as
// the user runs it, a process of its own on a pseudo-terminal; its CPU time comes from
// wait4's resource usage.
#include "protocol/FrameEncoder.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono;

void BM_RecordCpuAtWireRate(benchmark::State& state)
{
    const int seconds = int(state.range(0));
    const double framesPerSecond = 9600.0 / 10.0 / 21.0;
    for (auto _ : state) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ::grantpt(master);
        ::unlockpt(master);
        const std::string slave = ::ptsname(master);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execl(VARNEX_CLI, VARNEX_CLI, "record", "--port", slave.c_str(), "--limit", "0",
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        std::this_thread::sleep_for(milliseconds(500)); // start-up is not the steady state
        [[maybe_unused]] ssize_t ignored = ::write(master, "\n", 1);
        varnex::DisplayState s;
        s.mainPoint = 0;
        const auto start = steady_clock::now();
        long frames = 0;
        while (steady_clock::now() - start < seconds * 1s) {
            char digits[8];
            std::snprintf(digits, sizeof digits, "%06ld", frames % 220000);
            s.mainDigits = digits;
            const varnex::WireFrame frame = varnex::EncodeFrame(s);
            ignored = ::write(master, frame.data(), frame.size());
            ++frames;
            std::this_thread::sleep_until(start + duration<double>(double(frames) / framesPerSecond));
        }
        const double wall = duration<double>(steady_clock::now() - start).count() + 0.5;
        ::kill(pid, SIGTERM);
        int status = 0;
        rusage usage{};
        ::wait4(pid, &status, 0, &usage);
        ::close(master);
        const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        state.SetIterationTime(wall);
        state.counters["frames"] = double(frames);
        state.counters["cpu_percent_of_a_core"] = 100.0 * cpu / wall;
        state.counters["cpu_ms"] = 1000.0 * cpu;
    }
}
BENCHMARK(BM_RecordCpuAtWireRate)->Arg(30)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
