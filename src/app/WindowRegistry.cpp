#include "WindowRegistry.h"

#include "Avvio.h"
#include "access/CambiaPassword.h"
#include "access/Password.h"
#include "core/DocumentRecord.h"
#include "documents/Altri.h"
#include "protocol/MenuProtocollo.h"
#include "protocol/Protocollo.h"
#include "ui/ProgramFolder.h"
#include "ui/WindowFrame.h"

#include <QApplication>

WindowRegistry::WindowRegistry() = default;
WindowRegistry::~WindowRegistry() = default;

void WindowRegistry::createAll() {
    // In the order of the registry table; later windows take their places here. The modal
    // windows of the table are made by their openers at each use.
    m_password = std::make_unique<TfrmPassword>();
    m_avvio = std::make_unique<TfrmAvvio>();
    m_cambiaPassword = std::make_unique<TfrmCambiaPassword>();
    m_menuProtocollo = std::make_unique<TfrmMenuProtocollo>();
    m_protocollo = std::make_unique<TfrmProtocollo>();
    m_altri = std::make_unique<TfrmAltri>();
    // The document card index comes into being, empty, at every start where it is missing
    // and the folder takes it; a folder that refuses it says nothing now (the card index's
    // own windows report it when they are used).
    DocumentArchive::in(ProgramFolder::path()).count();
    wireHandOvers();
}

void WindowRegistry::wireHandOvers() {
    TfrmPassword* login = m_password.get();
    TfrmAvvio* menu = m_avvio.get();
    QObject::connect(login, &TfrmPassword::passwordAccepted, login,
                     [this, login] { showMainMenu(login); });
    QObject::connect(login, &TfrmPassword::changePasswordRequested, login,
                     [this, login] { showChangePassword(login); });
    QObject::connect(login, &TfrmPassword::exitRequested, login, [this] { endRun(); });
    QObject::connect(m_cambiaPassword.get(), &TfrmCambiaPassword::closed, login,
                     [this] { showLogin(m_cambiaPassword.get()); });
    QObject::connect(menu, &TfrmAvvio::protocolRequested, menu,
                     [this, menu] { showYearSelection(menu); });
    QObject::connect(menu, &TfrmAvvio::documentsRequested, menu,
                     [this, menu] { showDocumentWindow(menu); });
    QObject::connect(menu, &TfrmAvvio::exitRequested, menu, [this] { endRun(); });
    TfrmMenuProtocollo* year = m_menuProtocollo.get();
    QObject::connect(year, &TfrmMenuProtocollo::yearChosen, year,
                     [this, year](const QString& digits) {
                         openProtocolYear(digits);
                         showProtocolWindow(year);
                     });
    QObject::connect(year, &TfrmMenuProtocollo::closedWithoutYear, year,
                     [this, year] { showMainMenu(year); });
    for (CardWindow* card :
         {static_cast<CardWindow*>(m_protocollo.get()), static_cast<CardWindow*>(m_altri.get())})
        QObject::connect(card, &CardWindow::closed, card, [this, card] { showMainMenu(card); });
}

void WindowRegistry::start() {
    WindowFrame::centre(m_password.get());
    m_password->show();
}

void WindowRegistry::handOver(QWidget* from, QWidget* to, bool maximized) {
    if (to && maximized)
        WindowFrame::showMaximized(to);
    else if (to)
        to->show();
    if (from && from != to)
        from->hide();
}

void WindowRegistry::showLogin(QWidget* from) {
    WindowFrame::centre(m_password.get());
    handOver(from, m_password.get(), false);
    m_password->startOver();
}

void WindowRegistry::showChangePassword(QWidget* from) {
    WindowFrame::centre(m_cambiaPassword.get());
    handOver(from, m_cambiaPassword.get(), false);
}

void WindowRegistry::showMainMenu(QWidget* from) {
    handOver(from, m_avvio.get(), true);
}

void WindowRegistry::showYearSelection(QWidget* from) {
    handOver(from, m_menuProtocollo.get(), true);
}

void WindowRegistry::showProtocolWindow(QWidget* from) {
    handOver(from, m_protocollo.get(), true);
}

void WindowRegistry::showDocumentWindow(QWidget* from) {
    handOver(from, m_altri.get(), true);
}

void WindowRegistry::openProtocolYear(const QString& year) {
    m_protocollo->openRegister(year);
}

void WindowRegistry::endRun() {
    m_ended = true;
    QApplication::quit();
}
