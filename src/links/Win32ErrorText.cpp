#include "links/Win32ErrorText.h"

#include <windows.h>

namespace varnex {

std::string Win32ErrorText(std::uint32_t errorCode)
{
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        errorCode, 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    const std::string number = "error " + std::to_string(errorCode);
    return text.empty() ? number : text + " (" + number + ")";
}

} // namespace varnex
