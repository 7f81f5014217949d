#include "protocol/LcdPanelState.h"

#include <utility>

namespace varnex {

LcdPanelState LcdPanelState::Initial()
{
    using E = LcdElement;
    LcdPanelState panel;
    const std::pair<E, const char*> captions[] = {
        {E::LcdD0, "1"},     {E::LcdDa, "9"},      {E::LcdDb, "9"},     {E::LcdDc, "9"},
        {E::LcdDd, "9"},     {E::LcdDe, "9"},      {E::LcdFH, "-"},     {E::LCDd20, "9"},
        {E::LCDD2A, "9"},    {E::LCDD2B, "9"},     {E::LCDD2C, "9"},    {E::LCDk, "k"},
        {E::LCDM1, "Hz"},    {E::LcdDc1, "DC"},    {E::lcdrange, "Range"}, {E::LcdV, "V"},
        {E::LCDA, "A"},      {E::LCDohm, "*"},     {E::LCDF, "F"},      {E::lcdhz, "Hz"},
        {E::Lcdm, "m"},      {E::lcdkk, "K"},      {E::LCDMM, "M"},     {E::LCDn, "n"},
        {E::lcduu, "u"},     {E::LcdAuto, "Auto "}, {E::LcdManu, "MANU"}, {E::Labmax, "MAX"},
        {E::Labmin, "MIN"},  {E::LABAVG, "AVG"},   {E::LABALL, "ALL"},  {E::LABSTO, "ST0"},
        {E::LABRCL, "RCL"},  {E::LABCAL, "CAL"},   {E::LABSETUP, "SETUP"},
    };
    for (const auto& [element, caption] : captions)
        panel.text[ToIndex(element)] = caption;
    for (E shown : {E::LcdD0, E::LcdDa, E::LcdDb, E::LcdDc, E::LcdDd, E::LcdDe, E::LCDd20,
                    E::LCDD2A, E::LCDD2B, E::LCDD2C, E::CONokN})
        panel.visible[ToIndex(shown)] = true;
    return panel;
}

void LcdPanelState::Apply(const LcdState& pass)
{
    for (std::size_t i = 0; i < kLcdElementCount; ++i) {
        if (pass.visibility[i] != Visibility::Keep)
            visible[i] = pass.visibility[i] == Visibility::Show;
        if (pass.text[i])
            text[i] = *pass.text[i];
    }
    for (std::size_t t = 0; t < kTerminalCount; ++t)
        if (pass.terminalRed[t])
            terminalRed[t] = *pass.terminalRed[t];
}

} // namespace varnex
