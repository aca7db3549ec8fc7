#include "FocusHalo.h"

#include "Widgets.h"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

FocusHalo* FocusHalo::attach(QWidget* field) {
    return new FocusHalo(field);
}

FocusHalo::FocusHalo(QWidget* field) : QWidget(field->parentWidget()), m_field(field) {
    QString name = field->objectName();
    if (name.startsWith(QLatin1String("txt")))
        name = QStringLiteral("eff") + name.mid(3);
    setObjectName(name);
    setGeometry(field->geometry().adjusted(-4, -4, 4, 4));
    stackUnder(field);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setVisible(field->hasFocus());
    field->installEventFilter(this);
}

bool FocusHalo::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field) {
        switch (event->type()) {
        case QEvent::FocusIn:
            show();
            break;
        case QEvent::FocusOut:
            hide();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            setGeometry(m_field->geometry().adjusted(-4, -4, 4, 4));
            break;
        default:
            break;
        }
    }
    return false;
}

void FocusHalo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF r = rect();
    p.fillRect(r, QColor(0xFF, 0xFF, 0x00));
    QLinearGradient border(r.topLeft(), r.bottomLeft());
    border.setColorAt(0, QColor(0xFF, 0xFF, 0x00));
    border.setColorAt(1, Qt::white);
    p.setPen(QPen(QBrush(border), 1));
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
}
