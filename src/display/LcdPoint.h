#pragma once
// A decimal point of the virtual LCD: a small filled black square.
#include <QWidget>

namespace varnex {

class LcdPoint : public QWidget {
    Q_OBJECT
public:
    explicit LcdPoint(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace varnex
