#include "support/EveryWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QWindow>
#include <memory>

namespace {

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
        QTest::newRow("card history") << "TfrmCronologia"
                                      << ""
                                      << ""
                                      << "cmdEsci";
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
        EveryWindow run;
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
