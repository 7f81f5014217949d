#include "chart/ChartAxis.h"

namespace varnex {

ChartAxis::ChartAxis(double minimum, double maximum, bool automatic)
    : minimum_(minimum), maximum_(maximum < minimum ? minimum : maximum), automatic_(automatic)
{
}

void ChartAxis::SetAutomatic(bool automatic)
{
    if (automatic == automatic_)
        return;
    automatic_ = automatic;
    Changed();
}

bool ChartAxis::SetMinimum(double minimum)
{
    if (!(minimum <= maximum_)) // also refuses NaN
        return false;
    if (minimum != minimum_) {
        minimum_ = minimum;
        Changed();
    }
    return true;
}

bool ChartAxis::SetMaximum(double maximum)
{
    if (!(maximum >= minimum_))
        return false;
    if (maximum != maximum_) {
        maximum_ = maximum;
        Changed();
    }
    return true;
}

void ChartAxis::Shift(double d)
{
    if (d == 0.0)
        return;
    minimum_ += d;
    maximum_ += d;
    Changed();
}

void ChartAxis::Changed()
{
    if (onChange_)
        onChange_();
}

} // namespace varnex
