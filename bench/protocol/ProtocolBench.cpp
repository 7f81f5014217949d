// Throughput of the frame assemblers and the decoder over a long mixed meter stream.
#include "protocol/FrameAssembler.h"
#include "protocol/FrameEncoder.h"
#include "protocol/FunctionTable.h"
#include "protocol/ReadingDecoder.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace varnex {
namespace {

// Every range of every function, overloads, second displays, annunciators, rejected codes and
// a little line noise between frames.
std::vector<std::uint8_t> MixedStream(int frames, bool usb)
{
    std::mt19937 random(7);
    std::vector<std::pair<char, char>> codes;
    for (const RangeRow* r = RangeRowsBegin(); r != RangeRowsEnd(); ++r)
        for (const char* f = r->functions; *f != '\0'; ++f)
            codes.push_back({*f, r->code == '*' ? '0' : r->code});
    codes.push_back({'B', '0'}); // rejected function
    codes.push_back({'0', 'C'}); // rejected range
    codes.push_back({'3', '7'}); // range without a row

    std::vector<std::uint8_t> bytes;
    if (!usb) {
        bytes.push_back(0x0D);
        bytes.push_back(0x0A);
    }
    for (int i = 0; i < frames; ++i) {
        const auto& [function, range] = codes[random() % codes.size()];
        DisplayState s;
        s.function = function;
        s.range = range;
        s.negative = random() % 3 == 0;
        s.mainDigits.clear();
        for (int d = 0; d < 6; ++d)
            s.mainDigits += static_cast<char>('0' + random() % 10);
        s.mainPoint = static_cast<int>(random() % 6) - 1;
        s.overload = random() % 8 == 0;
        if (function == '8') {
            s.secondDigits = "1234";
            s.secondPoint = 1 + static_cast<int>(random() % 3);
        }
        s.status18 = static_cast<std::uint8_t>(random() % 16);
        s.status19 = static_cast<std::uint8_t>(random() % 4);
        const WireFrame frame = EncodeFrame(s);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        if (!usb && random() % 100 == 0)
            bytes.push_back(static_cast<std::uint8_t>(random())); // noise: a frame or two is lost
    }
    return bytes;
}

constexpr int kFrames = 20000;

void BM_SerialAssemblerAndDecoder(benchmark::State& state)
{
    const auto stream = MixedStream(kFrames, false);
    const auto blockSize = static_cast<std::size_t>(state.range(0));
    ReadingDecoder decoder;
    double sink = 0;
    FrameAssembler assembler([&](const std::string& frame) { sink += decoder.Decode(frame).reading.ChartValue; });
    std::uint64_t framesBefore = 0;
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += blockSize)
            assembler.VarnexData(stream.data() + at, std::min(blockSize, stream.size() - at));
        benchmark::DoNotOptimize(sink);
    }
    framesBefore = assembler.FramesAccepted();
    state.SetItemsProcessed(static_cast<std::int64_t>(framesBefore));
    state.SetBytesProcessed(static_cast<std::int64_t>(stream.size()) * state.iterations());
    state.counters["dropped"] = static_cast<double>(decoder.DroppedFrames()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SerialAssemblerAndDecoder)->Arg(21)->Arg(4096);

void BM_UsbAssemblerAndDecoder(benchmark::State& state)
{
    const auto stream = MixedStream(kFrames, true);
    ReadingDecoder decoder;
    double sink = 0;
    FrameAssembler assembler([&](const std::string& frame) { sink += decoder.Decode(frame).reading.ChartValue; });
    for (auto _ : state) {
        for (std::uint8_t b : stream)
            assembler.AddUsbByte(b);
        benchmark::DoNotOptimize(sink);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(assembler.FramesAccepted()));
}
BENCHMARK(BM_UsbAssemblerAndDecoder);

void BM_DecoderOnly(benchmark::State& state)
{
    const auto stream = MixedStream(kFrames, false);
    std::vector<std::string> frames;
    FrameAssembler assembler([&](const std::string& frame) { frames.push_back(frame); });
    assembler.VarnexData(stream.data(), stream.size());
    ReadingDecoder decoder;
    for (auto _ : state) {
        for (const std::string& frame : frames)
            benchmark::DoNotOptimize(decoder.Decode(frame).reading.Count);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(frames.size()) * state.iterations());
}
BENCHMARK(BM_DecoderOnly);

} // namespace
} // namespace varnex
