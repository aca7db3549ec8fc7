#include "access/CambiaPassword.h"
#include "access/Password.h"
#include "app/Avvio.h"
#include "app/Info.h"
#include "app/Splash.h"
#include "app/WindowRegistry.h"
#include "core/Credential.h"
#include "core/IniFile.h"
#include "protocol/MenuProtocollo.h"
#include "protocol/Protocollo.h"
#include "support/TestServices.h"
#include "ui/Guida.h"
#include "ui/LinkLabel.h"
#include "ui/TMisc.h"
#include "ui/Widgets.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(MessageKind)

namespace {

const QString kWrong = QStringLiteral("Attenzione: password errata.");

// The whole run: the registry's windows over a program folder holding the delivered
// credential file.
struct Run {
    TestServices services;
    WindowRegistry registry;
    QString credential = services.file(QStringLiteral("unins000.dll"));

    Run() {
        Credential::write(credential, QStringLiteral("lucernavolpina"));
        registry.createAll();
        registry.start();
    }
    TfrmPassword* login() const { return registry.password(); }
    TfrmCambiaPassword* change() const { return registry.cambiaPassword(); }
    // The login's field and buttons.
    QLineEdit* password() const { return control<QLineEdit>(login(), "txtPassword"); }
    QAbstractButton* loginButton(const char* name) const {
        return control<QAbstractButton>(login(), name);
    }
    QAbstractButton* menuButton(const char* name) const {
        return control<QAbstractButton>(registry.avvio(), name);
    }
    void type(QLineEdit* field, const QString& text) {
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, text);
    }
    QByteArray credentialBytes() const {
        QFile f(credential);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// Opens the help window through `click`, reads its topic and closes it.
QString helpTitleAfter(const std::function<void()>& click, QString* body = nullptr) {
    QString title;
    answerModal(click, [&](QDialog* dialog) {
        auto* guida = qobject_cast<TfrmGuida*>(dialog);
        QVERIFY(guida);
        title = control<QLabel>(guida, "lblTitolo")->text();
        if (body)
            *body = control<QPlainTextEdit>(guida, "txtGuida")->toPlainText();
        QVERIFY(control<QPlainTextEdit>(guida, "txtGuida")->isReadOnly());
        QTest::mouseClick(control<QAbstractButton>(guida, "btnChiudi"), Qt::LeftButton);
    });
    return title;
}

} // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void onlyTheLoginShowsAtStart() {
        Run run;
        QVERIFY(run.login()->isVisible());
        QVERIFY(!run.registry.avvio()->isVisible());
        QVERIFY(!run.change()->isVisible());
        QVERIFY(!run.loginButton("cmdOK")->isEnabled());
        QCOMPARE(run.login()->windowTitle(), QStringLiteral(" Faldora - Accesso"));
    }

    void firstAccessPasswordOpensTheMainMenu_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enter");
        QTest::newRow("lower case") << "lucernavolpina" << false;
        QTest::newRow("upper case") << "LUCERNAVOLPINA" << false;
        QTest::newRow("mixed case with Enter") << "LuCeRnAvOlPiNa" << true;
        QTest::newRow("surrounding spaces") << "  lucernavolpina  " << true;
    }
    void firstAccessPasswordOpensTheMainMenu() {
        QFETCH(QString, typed);
        QFETCH(bool, enter);
        Run run;
        QVERIFY(QTest::qWaitForWindowActive(run.login()));
        run.type(run.password(), typed);
        QVERIFY(run.loginButton("cmdOK")->isEnabled());
        if (enter)
            QTest::keyClick(run.password(), Qt::Key_Return);
        else
            QTest::mouseClick(run.loginButton("cmdOK"), Qt::LeftButton);
        QVERIFY(run.services.messages.isEmpty());
        QVERIFY(run.registry.avvio()->isVisible());
        QVERIFY(!run.login()->isVisible());
    }

    void wrongPasswordEmptiesTheField() {
        Run run;
        run.type(run.password(), QStringLiteral("volpina"));
        QTest::keyClick(run.password(), Qt::Key_Return);
        QCOMPARE(run.services.messages.size(), 1);
        QCOMPARE(run.services.messages[0].kind, MessageKind::Notice);
        QCOMPARE(run.services.messages[0].text, kWrong);
        QVERIFY(run.password()->text().isEmpty());
        QVERIFY(!run.loginButton("cmdOK")->isEnabled());
        QVERIFY(run.login()->isVisible());
        QTest::keyClick(run.password(), Qt::Key_X);
        QVERIFY(run.loginButton("cmdOK")->isEnabled());
    }

    void blankPasswordDoesNothing() {
        Run run;
        run.type(run.password(), QStringLiteral("   "));
        QVERIFY(!run.loginButton("cmdOK")->isEnabled());
        QTest::keyClick(run.password(), Qt::Key_Return);
        QVERIFY(run.services.messages.isEmpty());
        QVERIFY(run.login()->isVisible());
    }

    void unreadableOrMissingCredential() {
        Run run;
        QVERIFY(IniFile(run.credential)
                    .write(QStringLiteral("Accesso"), QStringLiteral("Valore"),
                           QStringLiteral("QQ12")));
        run.type(run.password(), QStringLiteral("lucernavolpina"));
        QTest::mouseClick(run.loginButton("cmdOK"), Qt::LeftButton);
        QCOMPARE(
            run.services.lastMessage().text,
            QStringLiteral("Attenzione: si è verificato un errore durante la procedura di lettura "
                           "della password. Si consiglia di reinstallare il software."));
        QCOMPARE(run.password()->text(), QStringLiteral("lucernavolpina"));

        QFile::remove(run.credential);
        QTest::mouseClick(run.loginButton("cmdOK"), Qt::LeftButton);
        QCOMPARE(run.services.lastMessage().text, kWrong);
        QVERIFY(!run.registry.avvio()->isVisible());
    }

    void esciEndsTheRun() {
        Run run;
        QTest::mouseClick(run.loginButton("cmdEsci"), Qt::LeftButton);
        QVERIFY(run.registry.runEnded());
    }

    void changePasswordFlows() {
        Run run;
        run.type(run.password(), QStringLiteral("qualcosa"));
        QTest::mouseClick(run.loginButton("btnCambiaPassword"), Qt::LeftButton);
        TfrmCambiaPassword* w = run.change();
        auto* oldPassword = control<QLineEdit>(w, "txtPasswordOld");
        auto* newPassword = control<QLineEdit>(w, "txtPasswordNew");
        auto* confirmation = control<QLineEdit>(w, "txtConferma");
        auto* ok = control<QAbstractButton>(w, "cmdOK");
        QVERIFY(w->isVisible());
        QVERIFY(!run.login()->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTRY_VERIFY(oldPassword->hasFocus());

        // OK waits for all three fields; Enter goes round them.
        run.type(oldPassword, QStringLiteral("sbagliata"));
        QTest::keyClick(oldPassword, Qt::Key_Return);
        QVERIFY(newPassword->hasFocus());
        QTest::keyClicks(newPassword, QStringLiteral("Nuova1"));
        QTest::keyClick(newPassword, Qt::Key_Return);
        QVERIFY(confirmation->hasFocus());
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(confirmation, QStringLiteral("  "));
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(confirmation, QStringLiteral("Nuova1"));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(confirmation, Qt::Key_Return);
        QVERIFY(oldPassword->hasFocus());
        QVERIFY(run.services.messages.isEmpty()); // Enter never pressed OK

        const QByteArray before = run.credentialBytes();
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(run.services.lastMessage().text,
                 QStringLiteral("Attenzione: vecchia password errata."));
        QVERIFY(oldPassword->text().isEmpty());
        QCOMPARE(newPassword->text(), QStringLiteral("Nuova1"));
        QCOMPARE(confirmation->text(), QStringLiteral("  Nuova1"));

        // A confirmation that differs only in case is refused.
        run.type(oldPassword, QStringLiteral("LUCERNAVOLPINA"));
        run.type(confirmation, QStringLiteral("nuova1"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(
            run.services.lastMessage().text,
            QStringLiteral("Attenzione: la nuova password non è stata confermata correttamente. "
                           "E' necessario reinserire entrambi i valori."));
        QVERIFY(newPassword->text().isEmpty() && confirmation->text().isEmpty());
        QCOMPARE(oldPassword->text(), QStringLiteral("LUCERNAVOLPINA"));
        QTRY_VERIFY(newPassword->hasFocus());

        // A letter the cipher cannot keep is refused before anything is written.
        newPassword->setText(QStringLiteral("Ωmega")); // not on the test keyboard
        confirmation->setText(QStringLiteral("Ωmega"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(run.services.lastMessage().text.contains(QStringLiteral("caratteri non ammessi")));
        QVERIFY(w->isVisible());
        QCOMPARE(run.credentialBytes(), before);

        run.type(newPassword, QStringLiteral("nuova1"));
        run.type(confirmation, QStringLiteral("nuova1 "));
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(run.services.lastMessage().text,
                 QStringLiteral("Modifica della password completata con successo."));
        QVERIFY(!w->isVisible());
        QVERIFY(run.login()->isVisible());
        QVERIFY(run.password()->text().isEmpty());
        QCOMPARE(Credential::read(run.credential).password, QStringLiteral("NUOVA1"));

        // The old password no longer opens; the new one does, in any case.
        run.type(run.password(), QStringLiteral("lucernavolpina"));
        QTest::mouseClick(run.loginButton("cmdOK"), Qt::LeftButton);
        QCOMPARE(run.services.lastMessage().text, kWrong);
        run.type(run.password(), QStringLiteral("NuOvA1"));
        QTest::mouseClick(run.loginButton("cmdOK"), Qt::LeftButton);
        QVERIFY(run.registry.avvio()->isVisible());
    }

    void closingTheChangeWindowReturnsToAnEmptyLogin() {
        Run run;
        QTest::mouseClick(run.loginButton("btnCambiaPassword"), Qt::LeftButton);
        run.type(control<QLineEdit>(run.change(), "txtPasswordOld"), QStringLiteral("abc"));
        QTest::mouseClick(control<QAbstractButton>(run.change(), "cmdEsci"), Qt::LeftButton);
        QVERIFY(!run.change()->isVisible());
        QVERIFY(run.login()->isVisible());
        QVERIFY(run.password()->text().isEmpty());
        // Every showing starts with three empty fields.
        QTest::mouseClick(run.loginButton("btnCambiaPassword"), Qt::LeftButton);
        QVERIFY(control<QLineEdit>(run.change(), "txtPasswordOld")->text().isEmpty());
        QVERIFY(!control<QAbstractButton>(run.change(), "cmdOK")->isEnabled());
        // Closed by the program (the session ending), it goes back to the login as "Chiudi"
        // does, and lets the session go on. The desktop's close request is refused.
        run.password()->setText(QStringLiteral("x"));
        QVERIFY(run.change()->close());
        QVERIFY(run.login()->isVisible());
        QVERIFY(run.password()->text().isEmpty());
        QVERIFY(!run.registry.runEnded());
    }

    void mainMenuLeadsToTheProtocolRegister_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("picture") << "imgPosta";
        QTest::newRow("button") << "btnPosta";
    }
    void mainMenuLeadsToTheProtocolRegister() {
        QFETCH(QString, control);
        Run run;
        TfrmAvvio* menu = run.registry.avvio();
        run.registry.showMainMenu(run.login());
        QTest::mouseClick(menu->findChild<QAbstractButton*>(control), Qt::LeftButton);
        QVERIFY(run.registry.menuProtocollo()->isVisible());
        QVERIFY(!menu->isVisible());
        // Closing the year selection without a year comes back here.
        run.registry.menuProtocollo()->close();
        QVERIFY(menu->isVisible());
        QVERIFY(!run.registry.runEnded());
    }

    void mainMenuEndsTheRun_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("exit picture") << false;
        QTest::newRow("close box") << true;
    }
    void mainMenuEndsTheRun() {
        QFETCH(bool, closeBox);
        Run run;
        run.registry.showMainMenu(run.login());
        if (closeBox)
            run.registry.avvio()->close();
        else
            QTest::mouseClick(run.menuButton("imgEsci"), Qt::LeftButton);
        QVERIFY(run.registry.runEnded());
        QVERIFY(run.services.messages.isEmpty());
    }

    void cardWindowReturnsToTheMainMenu() {
        Run run;
        run.registry.openProtocolYear(QStringLiteral("2026"));
        run.registry.showProtocolWindow(run.login());
        run.registry.protocollo()->close();
        QVERIFY(run.registry.avvio()->isVisible());
        QVERIFY(!run.registry.runEnded());
    }

    void helpTopics() {
        Run run;
        QString body;
        QCOMPARE(helpTitleAfter(clicking(run.menuButton("imgGuida")), &body),
                 QStringLiteral("Uno sguardo ad Faldora."));
        QVERIFY(body.contains(QStringLiteral("lucernavolpina")));
        QVERIFY(body.contains(QStringLiteral("\n\n"))); // paragraphs apart
        QCOMPARE(helpTitleAfter(
                     clicking(control<QAbstractButton>(run.registry.menuProtocollo(), "imgGuida"))),
                 QStringLiteral("Applicazione Protocollo Posta."));
        QCOMPARE(helpTitleAfter(
                     clicking(control<QAbstractButton>(run.registry.protocollo(), "cmdGuida"))),
                 QStringLiteral("Applicazione Protocollo Posta."));
        // A second opening shows no trace of the first.
        QCOMPARE(helpTitleAfter(clicking(run.menuButton("imgGuida"))),
                 QStringLiteral("Uno sguardo ad Faldora."));
    }

    void linksHandTheirTargetsToTheShell() {
        Run run;
        ANSWER_MODAL(clicking(run.menuButton("imgGuida")), [&](QDialog* dialog) {
            QTest::mouseClick(dialog->findChild<LinkLabel*>(), Qt::LeftButton);
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("imgPDF")),
                              Qt::LeftButton);
            dialog->accept();
        });
        const QString guide = u'"' + run.services.file(QStringLiteral("Guida.pdf")) + u'"';
        QCOMPARE(run.services.opened, QStringList({guide, guide}));

        ANSWER_MODAL(clicking(run.menuButton("imgInfo")), [&](QDialog* dialog) {
            QTest::mouseClick(dialog->findChild<LinkLabel*>(), Qt::LeftButton);
            dialog->accept();
        });
        const QString mail = QStringLiteral("\"mailto:info@faldora.example?subject=Software "
                                            "Faldora&body=Salve, desidererei avere le "
                                            "seguenti informazioni sul software in oggetto:\"");
        QCOMPARE(run.services.opened.last(), mail);
        const QUrl url = TMisc::urlFor(mail);
        QVERIFY(url.isValid());
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QStringLiteral("info@faldora.example"));

        ANSWER_MODAL(clicking(run.menuButton("imgCopyright")), [&](QDialog* dialog) {
            QTest::mouseClick(dialog->findChild<QWidget*>(QStringLiteral("imgWeb")),
                              Qt::LeftButton);
            dialog->accept();
        });
        QCOMPARE(run.services.opened.last(), QStringLiteral("https://www.faldora.example"));

        QTest::mouseClick(run.menuButton("imgSito"), Qt::LeftButton);
        QCOMPARE(run.services.opened.last(), QStringLiteral("https://www.faldora.example"));
        QCOMPARE(run.services.opened.size(), 5);
    }
};

QTEST_MAIN(TestAccess)
#include "tst_Access.moc"
