#include "links/Win32CommSettings.h"

namespace varnex {

DCB BuildDcb(const SerialLineSettings& s)
{
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = s.baudRate;
    dcb.fBinary = TRUE;
    dcb.fDtrControl = s.dtrOn ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    dcb.fOutxCtsFlow = s.ctsOutputFlow ? TRUE : FALSE;
    if (s.rtsHandshake)
        dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    else
        dcb.fRtsControl = s.rtsOn ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    dcb.fOutX = s.xonXoffOutput ? TRUE : FALSE;
    dcb.fInX = s.xonXoffInput ? TRUE : FALSE;
    dcb.XonLim = s.xonLimit;
    dcb.XoffLim = s.xoffLimit;
    dcb.ByteSize = static_cast<BYTE>(s.dataBits);
    dcb.Parity = static_cast<BYTE>(s.parity);     // the ordinal is the system's parity code
    dcb.StopBits = static_cast<BYTE>(s.stopBits); // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    return dcb;
}

COMMTIMEOUTS BuildCommTimeouts(const SerialTimeouts& t)
{
    COMMTIMEOUTS c{};
    c.ReadIntervalTimeout = t.readIntervalMs;
    c.ReadTotalTimeoutMultiplier = t.readTotalMultiplierMs;
    c.ReadTotalTimeoutConstant = t.readTotalConstantMs;
    c.WriteTotalTimeoutMultiplier = t.writeTotalMultiplierMs;
    c.WriteTotalTimeoutConstant = t.writeTotalConstantMs;
    return c;
}

DWORD PurgeFlags(bool receive, bool transmit)
{
    DWORD flags = 0;
    if (receive)
        flags |= PURGE_RXABORT | PURGE_RXCLEAR;
    if (transmit)
        flags |= PURGE_TXABORT | PURGE_TXCLEAR;
    return flags;
}

std::string Win32DevicePath(const std::string& deviceName)
{
    if (deviceName.rfind("\\\\", 0) == 0)
        return deviceName;
    return "\\\\.\\" + deviceName;
}

} // namespace varnex
