#pragma once
// Number texts of the command-line output.
#include <string>

namespace varnex::cli {

// The shortest text that reads back to the same double; whole values keep ".0" ("220.0").
std::string ShortestDoubleText(double value);

// A whole number without fraction or exponent ("-123456", "3000...000" for 3e102).
std::string WholeNumberText(double value);

} // namespace varnex::cli
