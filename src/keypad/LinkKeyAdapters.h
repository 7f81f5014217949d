#pragma once
// The keypad's link interfaces over the real links: COMM2 and the USB link.
#include "keypad/KeypadRouter.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"

namespace varnex {

class CommPortKeyLink : public SerialKeyLink {
public:
    explicit CommPortKeyLink(TCommPortDriver& port) : port_(port) {}
    bool isConnected() const override { return port_.IsConnected(); }
    // The count SendData returns is not looked at: a key has no answer to wait for.
    void sendData(const std::uint8_t* data, int size) override { (void)port_.SendData(data, size); }

private:
    TCommPortDriver& port_;
};

class UsbLinkKeyLink : public UsbKeyLink {
public:
    explicit UsbLinkKeyLink(UsbLink& link) : link_(link) {}
    void send(char first, char second) override { link_.UsbSend(first, second); }
    std::int32_t status() const override { return link_.UsbStatus(); }

private:
    UsbLink& link_;
};

} // namespace varnex
