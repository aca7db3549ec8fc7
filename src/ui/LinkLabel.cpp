#include "LinkLabel.h"

#include "Widgets.h"

#include <QMouseEvent>

namespace {
const QColor kDarkBlue(0x00, 0x00, 0x8B);
const QColor kOrange(0xFF, 0xA5, 0x00);
} // namespace

LinkLabel::LinkLabel(QWidget* parent, const QString& text) : QLabel(text, parent) {
    setObjectName(QStringLiteral("lnkWeb"));
    QFont font = uiFont(QStringLiteral("Tahoma"), 14);
    font.setUnderline(true);
    setFont(font);
    setCursor(Qt::PointingHandCursor);
    setColour(kDarkBlue);
    adjustSize();
}

void LinkLabel::addBuddy(QWidget* picture) {
    picture->setCursor(Qt::PointingHandCursor);
    picture->installEventFilter(this);
}

void LinkLabel::setColour(const QColor& colour) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, colour);
    setPalette(pal);
}

void LinkLabel::pressed() {
    setColour(kOrange);
}

void LinkLabel::released(bool inside) {
    setColour(kDarkBlue);
    if (inside)
        emit clicked();
}

bool LinkLabel::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w)
        return false;
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        pressed();
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        released(w->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()));
        return true;
    }
    return false;
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressed();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        released(rect().contains(event->position().toPoint()));
}
