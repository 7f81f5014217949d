#pragma once
// A picture element of the virtual LCD (HOLD, REL, data and link signs). When its picture is
// missing or could not be decoded, the sign is drawn as a framed text instead.
#include <QImage>
#include <QWidget>

namespace varnex {

class LcdPicture : public QWidget {
    Q_OBJECT
public:
    LcdPicture(const QImage& picture, const QString& fallbackText, QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    bool hasPicture() const { return !m_picture.isNull(); }
    const QString& fallbackText() const { return m_fallbackText; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    QString m_fallbackText;
};

} // namespace varnex
