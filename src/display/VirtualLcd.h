#pragma once
// Panel1: the drawn copy of the meter's display. Every element is a child widget whose
// objectName is its design name ("LcdD0", "lcdrange", "LCDHOLD", "CONokN", "d_t", ...).
#include "protocol/LcdElement.h"

#include <QHash>
#include <QWidget>

#include <array>

namespace varnex {

class LcdLabel;

class VirtualLcd : public QWidget {
    Q_OBJECT
public:
    explicit VirtualLcd(QWidget* parent = nullptr);

    // By design name; nullptr for a name the panel does not have.
    QWidget* element(const QString& name) const;
    // By decoder element: a table lookup, no name search (used on every frame).
    QWidget* element(LcdElement which) const { return m_elements[ToIndex(which)]; }
    // The text label behind a decoder element; nullptr for points and pictures.
    LcdLabel* label(LcdElement which) const { return m_labels[ToIndex(which)]; }

    // Sets a text element's caption; points and pictures have none and ignore it.
    void setElementText(const QString& name, const QString& text);
    QString elementText(const QString& name) const;
    void setElementVisible(const QString& name, bool visible);
    // Shown on the panel (whether or not the panel itself is on screen).
    bool isElementShown(const QString& name) const;

    // The clock label d_t.
    void setClockText(const QString& text);
    // CONok (frames arriving) or CONokN (no frames): exactly one of them is shown.
    void setLinked(bool linked);

    // The meter shows an overload as "OL": when D1 and D2 hold the overload texts "v" and "@",
    // the leading slot's "0" is not drawn, so the slots read " OL" and not "0OL". Called by
    // setElementText and after every decoder pass.
    void refreshOverloadLook();
    bool showsOverload() const;

    // Back to the look before the first frame: design captions, 1 99999 and 9999,
    // CONokN and the clock shown, every other sign hidden.
    void resetToStartState();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void buildElements();

    QHash<QString, QWidget*> m_byName;
    std::array<QWidget*, kLcdElementCount> m_elements{};
    std::array<LcdLabel*, kLcdElementCount> m_labels{};
};

} // namespace varnex
