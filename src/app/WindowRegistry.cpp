#include "WindowRegistry.h"

#include "Clock.h"
#include "ProgramFolder.h"
#include "WindowFrame.h"
#include "core/TextField.h"
#include "protocol/Protocollo.h"

#include <QApplication>

namespace {
WindowRegistry* g_current = nullptr;
}

WindowRegistry::WindowRegistry() {
    g_current = this;
}

WindowRegistry::~WindowRegistry() {
    if (g_current == this)
        g_current = nullptr;
}

WindowRegistry* WindowRegistry::current() {
    return g_current;
}

void WindowRegistry::createAll() {
    // In the order of the registry table; later windows take their places here.
    m_protocollo = std::make_unique<TfrmProtocollo>();
}

void WindowRegistry::start() {
    // Until the login and the main menu exist, the run starts on this year's register.
    openProtocolYear(Clock::today().toString(QStringLiteral("yyyy")));
    WindowFrame::showMaximized(m_protocollo.get());
}

void WindowRegistry::handOver(QWidget* from, QWidget* to) {
    if (to)
        to->show();
    if (from && from != to)
        from->hide();
}

void WindowRegistry::showMainMenu(QWidget* from) {
    // No main menu yet: leaving the card window ends the run.
    if (from)
        from->hide();
    QApplication::quit();
}

void WindowRegistry::openProtocolYear(const QString& year) {
    const QString digits = TextField::trimBlanks(year);
    m_protocollo->lblFile->setText(ProgramFolder::file(digits + QStringLiteral(".prt")));
    m_protocollo->setWindowTitle(QStringLiteral(" Faldora - Protocollo Posta anno ") + digits);
}
