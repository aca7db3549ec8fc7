#include "HintLine.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

HintLine::HintLine(QLabel* panInfo) : QObject(panInfo), m_panInfo(panInfo) {
    // The line's own text lies on the hint bar, which is background.
    clearsOn(panInfo);
}

void HintLine::setHint(QWidget* control, const QString& text) {
    m_hints.insert(control, text);
    control->installEventFilter(this);
}

void HintLine::clearsOn(QWidget* background) {
    m_backgrounds.insert(background);
    background->setMouseTracking(true);
    background->installEventFilter(this);
}

void HintLine::keepsOn(QWidget* area) {
    m_backgrounds.remove(area);
}

bool HintLine::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter) {
        const auto hint = m_hints.constFind(watched);
        if (hint != m_hints.constEnd())
            m_panInfo->setText(*hint);
    } else if (event->type() == QEvent::MouseMove && m_backgrounds.contains(watched)) {
        // Moves over a plain child (a label, a picture) reach the background too; only
        // the background's own area, or a child that is background as well, clears.
        auto* background = static_cast<QWidget*>(watched);
        const auto* move = static_cast<QMouseEvent*>(event);
        QWidget* under = background->childAt(move->position().toPoint());
        if (!under || m_backgrounds.contains(under))
            m_panInfo->clear();
    }
    return false;
}
