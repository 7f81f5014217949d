#include "protocol/FrameAssembler.h"

#include <algorithm>

namespace varnex {

namespace {
constexpr std::uint8_t kCarriageReturn = 0x0D;
constexpr char kDigits[] = "0123456789ABCDEF";
} // namespace

char NibbleDigit(std::uint8_t byte) { return kDigits[byte & 0x0F]; }

FrameAssembler::FrameAssembler(FrameHandler onFrame) : onFrame_(std::move(onFrame))
{
    frameText_.reserve(kFrameLength);
}

void FrameAssembler::Accept()
{
    ++framesAccepted_;
    if (onFrame_)
        onFrame_(frameText_);
}

bool FrameAssembler::AddUsbByte(std::uint8_t byte)
{
    usbFrameBuffer_[usbFramePos_] = byte;
    ++usbFramePos_;
    if (usbFramePos_ != kFrameLength)
        return false;

    usbFrameBuffer_[kFrameLength] = 0;
    // "A", then the nibbles of bytes 0-19; the nibble of byte 20 (the LF) falls off the end.
    frameText_.assign(1, 'A');
    for (std::size_t i = 0; i + 1 < kFrameLength; ++i)
        frameText_.push_back(NibbleDigit(usbFrameBuffer_[i]));
    usbFramePos_ = 0;
    if (frameText_[0] == 'A' && frameText_[20] == 'D' && frameText_[1] != 'E')
        Accept();
    else
        ++framesRejected_;
    return true;
}

void FrameAssembler::ResetUsbFrame()
{
    std::fill(std::begin(usbFrameBuffer_), std::end(usbFrameBuffer_), std::uint8_t{0});
}

void FrameAssembler::VarnexData(const std::uint8_t* data, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t byte = data[i];
        if (byte != kCarriageReturn) {
            if (comNibbleCount_ < kFrameLength)
                comNibbles_[comNibbleCount_++] = NibbleDigit(byte);
            continue;
        }
        if (comNibbleCount_ < kFrameLength)
            comNibbles_[comNibbleCount_++] = 'D';
        frameText_.assign(comNibbles_, comNibbleCount_);
        comNibbleCount_ = 0;
        if (frameText_.size() == kFrameLength && frameText_[0] == 'A' && frameText_[20] == 'D')
            Accept();
        else
            ++framesRejected_;
    }
}

} // namespace varnex
