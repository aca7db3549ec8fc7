#include "WindowRegistry.h"

#include "Avvio.h"
#include "BackupFlow.h"
#include "Verifica.h"
#include "access/CambiaPassword.h"
#include "access/Password.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "documents/Altri.h"
#include "protocol/MenuProtocollo.h"
#include "protocol/Protocollo.h"
#include "ui/Messages.h"
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
    QObject::connect(menu, &TfrmAvvio::checkRequested, menu, [this, menu] { runCheck(menu); });
    QObject::connect(menu, &TfrmAvvio::backupRequested, menu, [menu] { BackupFlow::backup(menu); });
    QObject::connect(menu, &TfrmAvvio::restoreRequested, menu, [this, menu] {
        // The restored folder may hold another password: the run starts over from the login.
        if (BackupFlow::restore(menu))
            showLogin(menu);
    });
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

void WindowRegistry::runCheck(QWidget* from) {
    TfrmVerifica check(from);
    WindowFrame::centre(&check, from);
    check.start();
    if (check.exec() == QDialog::Accepted && check.chosen())
        openCard(from, check.chosen()->archive, check.chosen()->position);
}

void WindowRegistry::openCard(QWidget* from, const QString& archive, int position) {
    CardWindow* window = m_altri.get();
    if (archive != DocumentArchive::FileName) {
        openProtocolYear(archive.left(4));
        window = m_protocollo.get();
    }
    handOver(from, window, true);
    // Shown first: showing a card window empties its card.
    if (const auto record =
            RecordArchive(window->archivePath(), archive == DocumentArchive::FileName
                                                     ? DocumentRecord::layout()
                                                     : ProtocolRecord::layout())
                .read(position))
        window->loadCard(*record, position);
    else
        Messages::notice(window, Messages::kArchiveAccessError);
}

void WindowRegistry::endRun() {
    m_ended = true;
    QApplication::quit();
}
