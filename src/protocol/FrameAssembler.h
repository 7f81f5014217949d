#pragma once
// Cuts the meter's byte stream into 21-character MeterFrames.
//
// The meter sends 19 data bytes, CR, LF; only the low nibble of each byte means anything.
// Two feeds share one FrameText: the USB link hands over one byte per successful read
// (AddUsbByte), the serial link hands over whatever block it received (VarnexData).
// Every frame that passes its test goes to the frame handler before the next byte is looked at.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace varnex {

class FrameAssembler {
public:
    using FrameHandler = std::function<void(const std::string& frameText)>;

    explicit FrameAssembler(FrameHandler onFrame = {});

    void SetFrameHandler(FrameHandler onFrame) { onFrame_ = std::move(onFrame); }

    // USB: stores the byte in the current group of 21. Returns true when the byte completed a
    // group (the link then flushes the device). A group passes when FrameText is "A" ... "D"
    // and its function code (character 2) is not "E".
    bool AddUsbByte(std::uint8_t byte);

    // USB: after a failed read. Zeroes the group buffer but keeps the position in the group.
    void ResetUsbFrame();

    // Serial: a received block. Each byte adds its nibble digit; a CR ends the run, whose first
    // 21 digits become FrameText; the frame passes when it reads "A" ... "D".
    void VarnexData(const std::uint8_t* data, std::size_t size);

    // The frame built last by either feed, passed or not.
    const std::string& FrameText() const { return frameText_; }

    std::size_t UsbFramePos() const { return usbFramePos_; }
    std::uint64_t FramesAccepted() const { return framesAccepted_; }
    std::uint64_t FramesRejected() const { return framesRejected_; }

    static constexpr std::size_t kFrameLength = 21;
    static constexpr std::size_t kUsbBufferSize = 65;

private:
    void Accept();

    FrameHandler onFrame_;
    std::string frameText_;

    // The USB nibble text is built and emptied within the call that completes a group (and a
    // reset or a serial CR empties it too), so it is never seen between calls: it is not kept.
    std::uint8_t usbFrameBuffer_[kUsbBufferSize] = {};
    std::uint8_t usbFramePos_ = 0;

    // The serial run since the last CR. Only its first 21 digits can ever reach FrameText, so
    // only those are kept (with the CR's "D" when it is among them): an endless run without
    // a CR costs no memory.
    char comNibbles_[kFrameLength] = {};
    std::size_t comNibbleCount_ = 0;

    std::uint64_t framesAccepted_ = 0;
    std::uint64_t framesRejected_ = 0;
};

// "0"-"9", "A"-"F" for the low nibble of the byte.
char NibbleDigit(std::uint8_t byte);

} // namespace varnex
