#include "app/KeypadBox.h"

#include "display/KeyPicture.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace varnex {

CalibrationCircle::CalibrationCircle(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
}

void CalibrationCircle::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(QColor(128, 128, 128));
    p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void CalibrationCircle::mouseReleaseEvent(QMouseEvent* event)
{
    if (!rect().contains(event->position().toPoint()))
        return;
    if (event->button() == Qt::RightButton)
        emit clicked(KeyTrigger::RightClick);
    else if (event->button() == Qt::LeftButton)
        emit clicked(KeyTrigger::LeftClick);
}

KeypadBox::KeypadBox(QWidget* parent) : QGroupBox(QString::fromLatin1(kKeyboardCaption.data(), int(kKeyboardCaption.size())), parent)
{
    setObjectName("Keyboard");
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setStyleSheet(QStringLiteral(
        "QGroupBox#Keyboard { background: black; color: white; font-weight: bold; border: 1px solid #606060; margin-top: 6px; }"
        "QGroupBox#Keyboard::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }"
        "QPushButton { background: #303438; color: white; font-weight: bold; border: 1px solid #9aa0a6;"
        "  border-radius: 4px; }"
        "QPushButton:pressed { background: #5a6066; }"));

    for (const KeyDefinition& def : KeyTable()) {
        const QString name = QString::fromLatin1(def.controlName.data(), int(def.controlName.size()));
        if (def.trigger == KeyTrigger::RightClick) {
            auto* circle = new CalibrationCircle(this);
            circle->setObjectName(name);
            circle->setToolTip(QStringLiteral("CAL (right button)"));
            circle->setGeometry(def.left, def.top, def.width, def.height);
            connect(circle, &CalibrationCircle::clicked, this, [this, &def](KeyTrigger t) { emit keyPressed(&def, t); });
            continue;
        }
        auto* button = new QPushButton(this);
        button->setObjectName(name);
        button->setFocusPolicy(Qt::NoFocus);
        if (def.face == KeyFace::Text) {
            button->setText(QString::fromLatin1(def.faceText.data(), int(def.faceText.size())));
        } else {
            button->setIcon(KeyPicture(name));
            button->setIconSize(QSize(def.width - 12, def.height - 10));
            button->setToolTip(QString::fromLatin1(def.faceText.data(), int(def.faceText.size())));
        }
        button->setGeometry(def.left, def.top, def.width, def.height);
        connect(button, &QPushButton::clicked, this, [this, &def] { emit keyPressed(&def, KeyTrigger::LeftClick); });
    }

    auto* cal = new QLabel(QString::fromLatin1(kCalibrationLabel.text.data(), int(kCalibrationLabel.text.size())), this);
    cal->setObjectName("CALLabel");
    QPalette lp = cal->palette();
    lp.setColor(QPalette::WindowText, Qt::white);
    cal->setPalette(lp);
    cal->setStyleSheet(QStringLiteral("color: white; font-weight: bold;"));
    cal->move(kCalibrationLabel.left, kCalibrationLabel.top);
    cal->adjustSize();
}

QWidget* KeypadBox::key(const QString& controlName) const
{
    return findChild<QWidget*>(controlName, Qt::FindDirectChildrenOnly);
}

} // namespace varnex
