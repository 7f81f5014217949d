#include "chart/DigitKeyFilter.h"

#include <QKeyEvent>

namespace varnex {

bool DigitKeyFilter::Keeps(const QString& typedText, int key)
{
    if (key == Qt::Key_Backspace)
        return true;
    if (typedText.isEmpty())
        return true; // types nothing: navigation, Delete, modifiers
    for (const QChar c : typedText) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        // Control characters (Tab, Return, Escape, Ctrl+letters) type nothing.
        const bool control = c.unicode() < 0x20 || c.unicode() == 0x7f;
        if (!digit && !control)
            return false;
    }
    return true;
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Shortcuts (Ctrl+C, Ctrl+V, Ctrl+A) type no character of their own.
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (!shortcut && !Keeps(key->text(), key->key()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace varnex
