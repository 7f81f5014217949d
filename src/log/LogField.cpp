#include "log/LogStore.h"

namespace varnex {

const char* LogFieldName(LogField f)
{
    switch (f) {
    case LogField::No: return "No";
    case LogField::Time: return "Time";
    case LogField::Function: return "Function";
    case LogField::Value: return "Value";
    case LogField::Unit: return "Unit";
    case LogField::Value2: return "Value2";
    case LogField::Unit2: return "Unit2";
    }
    return "";
}

std::string_view LogRowView::text(LogField f) const
{
    switch (f) {
    case LogField::No: return {};
    case LogField::Time: return Time;
    case LogField::Function: return Function;
    case LogField::Value: return Value;
    case LogField::Unit: return Unit;
    case LogField::Value2: return Value2;
    case LogField::Unit2: return Unit2;
    }
    return {};
}

} // namespace varnex
