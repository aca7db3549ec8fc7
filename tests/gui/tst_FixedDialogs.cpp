#include "access/CambiaPassword.h"
#include "access/Password.h"
#include "app/Info.h"
#include "app/Splash.h"
#include "app/WindowRegistry.h"
#include "core/Credential.h"
#include "core/DocumentRecord.h"
#include "documents/Altri.h"
#include "documents/DaCompletare.h"
#include "documents/ExpAltri.h"
#include "documents/StampaAltri.h"
#include "documents/TrovaAltri.h"
#include "protocol/Numerazione.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/StampaProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "support/TestServices.h"
#include "ui/AllegaCartella.h"
#include "ui/ArchiveTag.h"
#include "ui/Calendario.h"
#include "ui/Guida.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <memory>

namespace {

// Every window of the run that can be a fixed dialog, over a temporary program folder: the
// persistent ones in their registry, the modal ones made as their openers make them.
struct Run {
    TestServices services;
    WindowRegistry registry;
    std::unique_ptr<QWidget> dialog;

    Run() {
        Credential::write(services.file(QStringLiteral("unins000.dll")),
                          QStringLiteral("lucernavolpina"));
        registry.createAll();
        control<QLabel>(registry.protocollo(), "lblFile")
            ->setText(services.file(QStringLiteral("2026.prt")));
    }

    // The window named `name`, shown.
    QWidget* open(const QString& name) {
        TfrmProtocollo* protocollo = registry.protocollo();
        TfrmAltri* altri = registry.altri();
        const QString registerPath = services.file(QStringLiteral("2026.prt"));
        const QString indexPath = services.file(DocumentArchive::FileName);
        if (name == QLatin1String("TfrmPassword")) {
            registry.start();
            return registry.password();
        }
        if (name == QLatin1String("TfrmCambiaPassword")) {
            registry.start();
            registry.showChangePassword(registry.password());
            return registry.cambiaPassword();
        }
        if (name == QLatin1String("TfrmGuida"))
            dialog = std::make_unique<TfrmGuida>(protocollo);
        else if (name == QLatin1String("TfrmInfo"))
            dialog = std::make_unique<TfrmInfo>(nullptr);
        else if (name == QLatin1String("TfrmSplash"))
            dialog = std::make_unique<TfrmSplash>(nullptr);
        else if (name == QLatin1String("TfrmAllegaCartella"))
            dialog = std::make_unique<TfrmAllegaCartella>(protocollo);
        else if (name == QLatin1String("TfrmCalendario"))
            dialog = std::make_unique<TfrmCalendario>(protocollo);
        else if (name == QLatin1String("TfrmNumerazione"))
            dialog = std::make_unique<TfrmNumerazione>(protocollo);
        else if (name == QLatin1String("TfrmExpProtocollo"))
            dialog = std::make_unique<TfrmExpProtocollo>(protocollo, registerPath);
        else if (name == QLatin1String("TfrmStampaProtocollo"))
            dialog = std::make_unique<TfrmStampaProtocollo>(protocollo, *protocollo);
        else if (name == QLatin1String("TfrmTrovaProtocollo"))
            dialog = std::make_unique<TfrmTrovaProtocollo>(protocollo, protocollo);
        else if (name == QLatin1String("TfrmRiepProtocollo"))
            dialog = std::make_unique<TfrmRiepProtocollo>(protocollo, registerPath);
        else if (name == QLatin1String("TfrmExpAltri"))
            dialog = std::make_unique<TfrmExpAltri>(altri, indexPath);
        else if (name == QLatin1String("TfrmDaCompletare"))
            dialog = std::make_unique<TfrmDaCompletare>(altri, altri);
        else if (name == QLatin1String("TfrmTrovaAltri"))
            dialog = std::make_unique<TfrmTrovaAltri>(altri, altri);
        else if (name == QLatin1String("TfrmStampaAltri"))
            dialog = std::make_unique<TfrmStampaAltri>(altri, *altri);
        else
            qFatal("no window %s", qPrintable(name));
        // The tag its opener gives it, where it has one.
        if (auto* memory = dialog->findChild<QLabel*>(QStringLiteral("lblMemory")))
            memory->setText(name == QLatin1String("TfrmCalendario") ? QStringLiteral("datareg")
                                                                    : ArchiveTag::Protocol);
        dialog->show();
        return dialog.get();
    }
};

// What a window manager does when the user asks a window to close (Alt+F4, the task bar's
// menu): the request reaches the platform window, which hands it to its widget as an event
// from outside the program.
void desktopClose(QWidget* window) {
    QCloseEvent request;
    QCoreApplication::sendEvent(window->windowHandle(), &request);
    QCoreApplication::processEvents();
}

} // namespace

class TestFixedDialogs : public QObject {
    Q_OBJECT
private slots:
    // Neither Escape nor the desktop's close request closes a fixed dialog or loses what was
    // typed in it; its own buttons still close it, whichever way each does it.
    void onlyTheirOwnButtonsCloseThem_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("field"); // typed into first; "" for none
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button"); // its own button that closes it
        QTest::newRow("login, Esci ends the run") << "TfrmPassword"
                                                  << "txtPassword"
                                                  << "segreto"
                                                  << "cmdEsci";
        QTest::newRow("change password, Chiudi") << "TfrmCambiaPassword"
                                                 << "txtPasswordOld"
                                                 << "vecchia"
                                                 << "cmdEsci";
        QTest::newRow("help") << "TfrmGuida"
                              << ""
                              << ""
                              << "btnChiudi";
        QTest::newRow("information") << "TfrmInfo"
                                     << ""
                                     << ""
                                     << "btnChiudi";
        QTest::newRow("credits") << "TfrmSplash"
                                 << ""
                                 << ""
                                 << "btnChiudi";
        QTest::newRow("further attachments, Annulla") << "TfrmAllegaCartella"
                                                      << "txtDesc01"
                                                      << "Verbale firmato"
                                                      << "btnAnnulla";
        QTest::newRow("further attachments, Applica e chiudi") << "TfrmAllegaCartella"
                                                               << "txtDesc02"
                                                               << "Ricevuta"
                                                               << "btnApplica";
        QTest::newRow("date import, Annulla") << "TfrmCalendario"
                                              << ""
                                              << ""
                                              << "btnAnnulla";
        QTest::newRow("date import, Importa") << "TfrmCalendario"
                                              << ""
                                              << ""
                                              << "btnImportaData";
        QTest::newRow("numbering, Annulla") << "TfrmNumerazione"
                                            << "txtInizio"
                                            << "25"
                                            << "btnAnnulla";
        QTest::newRow("numbering, Applica") << "TfrmNumerazione"
                                            << "txtInizio"
                                            << "25"
                                            << "btnApplica";
        QTest::newRow("protocol export") << "TfrmExpProtocollo"
                                         << ""
                                         << ""
                                         << "cmdEsci";
        QTest::newRow("protocol card print, Annulla") << "TfrmStampaProtocollo"
                                                      << ""
                                                      << ""
                                                      << "btnAnnulla";
        QTest::newRow("protocol card print, Stampa") << "TfrmStampaProtocollo"
                                                     << ""
                                                     << ""
                                                     << "btnStampa";
        QTest::newRow("protocol search") << "TfrmTrovaProtocollo"
                                         << "txtNumero"
                                         << "12/2026"
                                         << "btnAnnulla";
        QTest::newRow("protocol summary") << "TfrmRiepProtocollo"
                                          << "txtDataInizio"
                                          << "01/03/2026"
                                          << "cmdEsci";
        QTest::newRow("document export") << "TfrmExpAltri"
                                         << ""
                                         << ""
                                         << "cmdEsci";
        QTest::newRow("to-complete list") << "TfrmDaCompletare"
                                          << "txtTrova"
                                          << "fattura"
                                          << "btnChiudi";
        QTest::newRow("document search") << "TfrmTrovaAltri"
                                         << "txtDocumento"
                                         << "Contratto"
                                         << "btnAnnulla";
        QTest::newRow("document card print") << "TfrmStampaAltri"
                                             << ""
                                             << ""
                                             << "btnAnnulla";
    }
    void onlyTheirOwnButtonsCloseThem() {
        QFETCH(QString, window);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        Run run;
        QWidget* w = run.open(window);
        QVERIFY(QTest::qWaitForWindowActive(w));
        QLineEdit* edit = nullptr;
        if (!field.isEmpty()) {
            edit = control<QLineEdit>(w, qPrintable(field));
            edit->setFocus();
            edit->selectAll();
            QTest::keyClicks(edit, typed);
            QCOMPARE(edit->text(), typed);
        }

        // Escape where the user presses it: in the control that has the focus.
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && w->isAncestorOf(focus) ? focus : w, Qt::Key_Escape);
        QVERIFY(w->isVisible());
        desktopClose(w);
        QVERIFY(w->isVisible());
        QVERIFY(!run.registry.runEnded());
        if (edit)
            QCOMPARE(edit->text(), typed);

        QTest::mouseClick(control<QAbstractButton>(w, qPrintable(button)), Qt::LeftButton);
        if (window == QLatin1String("TfrmPassword"))
            QVERIFY(run.registry.runEnded());
        else
            QVERIFY(!w->isVisible());
    }
};

QTEST_MAIN(TestFixedDialogs)
#include "tst_FixedDialogs.moc"
