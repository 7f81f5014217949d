#pragma once
// The system's own text for a Win32 error code, for messages that say why a call failed.
#include <cstdint>
#include <string>

namespace varnex {

// "The system cannot find the file specified. (error 2)"; the number alone when the
// system has no text for it.
std::string Win32ErrorText(std::uint32_t errorCode);

} // namespace varnex
