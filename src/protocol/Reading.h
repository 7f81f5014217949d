#pragma once
// The decoded reading that every decoded frame updates in place (CurrentReading).
// Fields a frame does not set keep their previous value; see Decoder.h.
#include <string>

namespace varnex {

struct Reading {
    std::string FunctionText; // log "Function": "DCV", "ohm", ... empty without a table row
    std::string ValueText;    // main display as text, decimal separator included
    std::string UnitText;     // "mV", "V", "mA", "A", "*", "K*", "M*", "nF", "uF", "mF", "KHz", "MHz"
    std::string Value2Text;   // second display as text
    std::string Unit2Text;    // "KHz" when the second display shows a first digit, else empty
    double Count = 0;         // signed display digits as one whole number (+-22000 on overload)
    double ChartValue = 0;    // reading in the unit of UnitText, plotted on the chart
};

constexpr int FullScaleCount = 22000;

} // namespace varnex
