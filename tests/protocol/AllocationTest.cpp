// The assemblers and the decoder run for days at up to 45 frames/s: once warmed up, a frame must
// cost no heap allocation. Counts every operator new in this test binary.
#include "protocol/FrameAssembler.h"
#include "protocol/FrameEncoder.h"
#include "protocol/ReadingDecoder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace varnex {
namespace {

std::vector<std::uint8_t> Stream()
{
    std::vector<std::uint8_t> bytes = {0x0D, 0x0A};
    const char functions[] = "0123456789AB";
    for (int i = 0; i < 600; ++i) {
        DisplayState s;
        s.function = functions[i % 12];
        s.range = "0123456C"[i % 8];
        s.negative = i % 3 == 0;
        s.mainPoint = i % 6 - 1;
        s.overload = i % 7 == 0;
        if (i % 2 == 0)
            s.secondDigits = "1234";
        s.status18 = static_cast<std::uint8_t>(i % 16);
        const WireFrame frame = EncodeFrame(s);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        if (i % 50 == 0)
            bytes.insert(bytes.end(), 100, 0x35); // a long run without CR
    }
    return bytes;
}

TEST(Allocation, NoHeapAllocationPerFrameOnceWarm)
{
    const auto stream = Stream();
    ReadingDecoder decoder(",");
    FrameAssembler assembler([&](const std::string& frame) { decoder.Decode(frame); });
    assembler.VarnexData(stream.data(), stream.size()); // warm-up: strings reach their sizes
    for (auto b : stream)
        assembler.AddUsbByte(b);

    const long before = allocations.load();
    ASSERT_GT(before, 0) << "the counting operator new is not in use";
    for (std::size_t at = 0; at < stream.size(); at += 7)
        assembler.VarnexData(stream.data() + at, std::min<std::size_t>(7, stream.size() - at));
    for (auto b : stream)
        assembler.AddUsbByte(b);
    const long during = allocations.load() - before;

    EXPECT_GT(decoder.DecodedFrames(), 900u);
    EXPECT_GT(decoder.DroppedFrames(), 100u);
    EXPECT_EQ(during, 0) << "allocations while decoding " << decoder.DecodedFrames() << " frames";
}

} // namespace
} // namespace varnex
