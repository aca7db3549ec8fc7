#include "WindowFrame.h"

#include "Widgets.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

Backdrop::Backdrop(QWidget* window, const QColor& top, const QColor& bottom, QSize panelSize,
                   const QColor& panelColor)
    : QWidget(window), m_top(top), m_bottom(bottom), m_panel(new QWidget(this)) {
    setObjectName(QStringLiteral("backdrop"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(this);
    m_panel->setObjectName(QStringLiteral("panContainer"));
    m_panel->setFixedSize(panelSize);
    if (panelColor.isValid()) {
        m_panel->setAutoFillBackground(true);
        QPalette pal = m_panel->palette();
        pal.setColor(QPalette::Window, panelColor);
        m_panel->setPalette(pal);
    }
}

void Backdrop::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintVerticalGradient(p, rect(), m_top, m_bottom);
}

void Backdrop::setPanelOrigin(const QPoint& origin) {
    m_origin = origin;
    m_panel->move(origin);
}

void Backdrop::resizeEvent(QResizeEvent*) {
    if (m_origin) {
        m_panel->move(*m_origin);
        return;
    }
    m_panel->move(std::max(0, (width() - m_panel->width()) / 2),
                  std::max(0, (height() - m_panel->height()) / 2));
}

namespace {

// A fixed dialog closes only by its own buttons. Escape would reject it, and the desktop's
// close request (Alt+F4, the task bar) would close it, both dropping what was typed. The
// dialog's own buttons close it from the program (accept, reject, close), which the
// desktop's request never is: that one alone comes from outside, as a spontaneous event.
class OwnButtonsOnly final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && event->spontaneous()) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace WindowFrame {

void setupFixedDialog(QWidget* window, const QString& caption, QSize clientSize) {
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(clientSize);
    window->installEventFilter(new OwnButtonsOnly(window));
}

void setupSizeableWindow(QWidget* window, const QString& caption, QSize designSize) {
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Window);
    window->resize(designSize);
}

void showMaximized(QWidget* window) {
    if (QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen())
        window->setGeometry(screen->availableGeometry());
    window->showMaximized();
}

void centre(QWidget* window, QWidget* over) {
    QRect area;
    if (over && over->isVisible())
        area = over->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window->move(area.center() - window->rect().center());
}

} // namespace WindowFrame
