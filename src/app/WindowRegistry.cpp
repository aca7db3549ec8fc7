#include "WindowRegistry.h"

#include "ProgramFolder.h"
#include "WindowFrame.h"
#include "core/TextField.h"
#include "protocol/MenuProtocollo.h"
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
    m_menuProtocollo = std::make_unique<TfrmMenuProtocollo>();
    m_protocollo = std::make_unique<TfrmProtocollo>();
}

void WindowRegistry::start() {
    // Until the login and the main menu exist, the run starts on the year selection.
    WindowFrame::showMaximized(m_menuProtocollo.get());
}

void WindowRegistry::handOver(QWidget* from, QWidget* to, bool maximized) {
    if (to && maximized)
        WindowFrame::showMaximized(to);
    else if (to)
        to->show();
    if (from && from != to)
        from->hide();
}

void WindowRegistry::showProtocolWindow(QWidget* from) {
    handOver(from, m_protocollo.get(), true);
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
