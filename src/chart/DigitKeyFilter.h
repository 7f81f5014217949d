#pragma once
// Typing filter of the number fields: keys that type the digits 0 to 9 and
// backspace pass; every other typed character is dropped. Keys that type nothing
// (arrows, Delete, Home, Tab, Return, shortcuts) are left to the field.
#include <QObject>

namespace varnex {

class DigitKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit DigitKeyFilter(QObject* parent = nullptr) : QObject(parent) {}

    // Whether a key press typing this text is kept.
    static bool Keeps(const QString& typedText, int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace varnex
