#include "display/ApplyLcdState.h"

#include "display/LcdLabel.h"
#include "display/MeterFace.h"
#include "display/VirtualLcd.h"

namespace varnex {

void applyLcdState(VirtualLcd& lcd, MeterFace& face, const LcdState& state)
{
    for (std::size_t i = 0; i < kLcdElementCount; ++i) {
        const auto which = static_cast<LcdElement>(i);
        if (const std::optional<std::string>& text = state.text[i]) {
            if (LcdLabel* label = lcd.label(which))
                label->setText(QString::fromStdString(*text));
        }
        switch (state.visibility[i]) {
        case Visibility::Keep: break;
        case Visibility::Show: lcd.element(which)->setVisible(true); break;
        case Visibility::Hide: lcd.element(which)->setVisible(false); break;
        }
    }
    for (std::size_t i = 0; i < kTerminalCount; ++i) {
        if (const std::optional<bool> red = state.terminalRed[i])
            face.setTerminalRed(static_cast<Terminal>(i), *red);
    }
    lcd.refreshOverloadLook();
}

} // namespace varnex
