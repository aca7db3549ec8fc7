#include "WindowFrame.h"

#include "Widgets.h"

#include <QGuiApplication>
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

namespace WindowFrame {

void setupFixedDialog(QWidget* window, const QString& caption, QSize clientSize) {
    window->setWindowTitle(caption);
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(clientSize);
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
