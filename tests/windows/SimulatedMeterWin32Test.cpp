// The Win32 serial platform against the simulated meter: run-under-wine.sh points COM1 at
// the pty of `varnex-sim pty`, and afterwards checks that the meter received the key sent here.
#include "links/TCommPortDriver.h"
#include "links/Win32PollTimer.h"
#include "links/Win32SerialPlatform.h"
#include "protocol/Decoder.h"
#include "protocol/FrameAssembler.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace varnex {
namespace {

TEST(SimulatedMeterWin32Test, FramesDecodeFromCom1AndAKeyGoesBack)
{
    auto owned = std::make_unique<Win32SerialPlatform>();
    Win32SerialPlatform* platform = owned.get();
    TCommPortDriver comm2(std::move(owned), std::make_unique<Win32PollTimer>());
    comm2.SetComPort(pnCOM1);
    comm2.SetComPortDataBits(db7BITS);
    comm2.SetComPortStopBits(sb2BITS);

    FrameAssembler assembler;
    Reading current;
    int decoded = 0;
    std::vector<std::string> functions;
    assembler.SetFrameHandler([&](const std::string& text) {
        const DecodeResult result = DecodeFrame(text, current, ".");
        current = result.reading;
        if (result.decoded) {
            ++decoded;
            functions.push_back(current.FunctionText);
        }
    });
    int batches = 0;
    comm2.SetOnReceiveData([&](TCommPortDriver*, const std::uint8_t* data, int size) {
        ++batches;
        assembler.VarnexData(data, static_cast<std::size_t>(size));
    });

    ASSERT_TRUE(comm2.Connect()) << platform->lastError();
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    ASSERT_TRUE(GetCommState(platform->handle(), &dcb));
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);

    // The meter sends a frame every 300-500 ms.
    const ULONGLONG deadline = GetTickCount64() + 8000;
    while (decoded < 4 && GetTickCount64() < deadline)
        PumpMessagesFor(50);
    EXPECT_GE(decoded, 4) << assembler.FramesRejected() << " frames rejected, " << batches << " batches";
    // At most the frame the port opened in the middle of.
    EXPECT_LE(assembler.FramesRejected(), 1u);
    ASSERT_FALSE(functions.empty());
    EXPECT_FALSE(functions.back().empty());
    // Frames come in several batches of the 50 ms poll, not as one read.
    EXPECT_GT(batches, decoded);

    // A key command: run-under-wine.sh finds it in the meter's own log.
    EXPECT_EQ(comm2.SendData("BB", 2), 2);
    PumpMessagesFor(600);
    comm2.Disconnect();
    std::printf("sent key BB to the meter\n");
}

} // namespace
} // namespace varnex
