// Arbitrary bytes through both assemblers with the decoder behind them. Checks what must hold
// for any input: accepted frames are 21 hex digits from "A" to "D", the USB group position stays
// in its buffer, and decoding never fails to finish.
#include "protocol/Decoder.h"
#include "protocol/FrameAssembler.h"
#include "protocol/LcdPanelState.h"
#include "protocol/ReadingDecoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsFrame(const std::string& text)
{
    if (text.size() != 21 || text.front() != 'A' || text.back() != 'D')
        return false;
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // the first byte picks the separator and how the serial input is cut into blocks
    const std::uint8_t control = data[0];
    ++data;
    --size;
    const char* separators[] = {".", ",", "\xD9\xAB", ""};
    varnex::ReadingDecoder decoder(separators[control & 3]);
    varnex::LcdPanelState panel = varnex::LcdPanelState::Initial();

    varnex::FrameAssembler assembler([&](const std::string& frame) {
        Check(IsFrame(frame));
        const varnex::DecodeResult& result = decoder.Decode(frame);
        panel.Apply(result.lcd);
        if (result.axis)
            Check(result.axis->maximum == -result.axis->minimum && result.axis->maximum > 0);
        if (result.decoded)
            Check(result.reading.ValueText.size() < 64);
        // the pure entry point agrees with the stateful one
        Check(varnex::DecodeFrame(frame, varnex::Reading{}, ".").decoded == result.decoded);
    });

    const std::size_t block = 1 + (control >> 2);
    for (std::size_t at = 0; at < size; at += block)
        assembler.VarnexData(data + at, std::min(block, size - at));

    for (std::size_t i = 0; i < size; ++i) {
        // a byte with all high bits set stands for a failed USB read
        if (data[i] == 0xFF)
            assembler.ResetUsbFrame();
        else
            assembler.AddUsbByte(data[i]);
        Check(assembler.UsbFramePos() < 21);
    }

    // arbitrary text straight into the decoder, as a 21-character frame
    if (size >= 21)
        varnex::DecodeFrame(std::string(reinterpret_cast<const char*>(data), 21), decoder.Current(), ",");
    return 0;
}
