#include "app/Application.h"
#include "support/TestServices.h"
#include "ui/FocusHalo.h"
#include "ui/HintLine.h"
#include "ui/KeyRules.h"
#include "ui/LinkLabel.h"
#include "ui/Messages.h"
#include "ui/OpenFileDialog.h"
#include "ui/Services.h"
#include "ui/TMisc.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"
#include "ui/WindowPanel.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A small window to host the conventions under test.
struct Host {
    QWidget window;
    QLineEdit* first = named(new QLineEdit(&window), "txtPrimo");
    QLineEdit* second = named(new QLineEdit(&window), "txtSecondo");
    QPushButton* button = named(new QPushButton(QStringLiteral("Apri"), &window), "btnApri");

    Host() {
        window.resize(400, 300);
        first->setGeometry(52, 27, 80, 22);
        second->setGeometry(52, 80, 80, 22);
        button->setGeometry(200, 27, 60, 24);
    }
    bool show() {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
};

// A process started by the test, stopped when the test ends, whatever its outcome.
struct Started {
    QProcess process;
    ~Started() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

// What a command prints, run to its end.
QString output(const QString& program, const QStringList& arguments) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8")); // titles as UTF-8
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QColor textColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class TestConventions : public QObject {
    Q_OBJECT
private slots:
    void digitsOnlyLetsDigitsThrough() {
        Host host;
        KeyRules::digitsOnly(host.first, host.button);
        QVERIFY(host.show());
        host.first->setFocus();
        QTest::keyClicks(host.first, QStringLiteral("2a0b2c1"));
        QCOMPARE(host.first->text(), QStringLiteral("2021"));
        QTest::keyClicks(host.first, QStringLiteral(" -+.,"));
        QTest::keyClick(host.first, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(host.first->text(), QStringLiteral("2021"));
        QTest::keyClick(host.first, Qt::Key_Left);
        QTest::keyClick(host.first, Qt::Key_Backspace);
        QCOMPARE(host.first->text(), QStringLiteral("201"));
        QTest::keyClick(host.first, Qt::Key_Home); // swallowed: the cursor stays
        QTest::keyClick(host.first, Qt::Key_9);
        QCOMPARE(host.first->text(), QStringLiteral("2091"));
        QTest::keyClick(host.first, Qt::Key_Tab); // swallowed too
        QVERIFY(host.first->hasFocus());
        QTest::keyClick(host.first, Qt::Key_Return);
        QVERIFY(host.button->hasFocus());
        QCOMPARE(host.first->text(), QStringLiteral("2091"));
    }

    void enterMovesAlongTheChain() {
        Host host;
        KeyRules::enterMovesTo(host.first, host.second);
        KeyRules::enterMovesTo(host.second, nullptr);
        QVERIFY(host.show());
        host.first->setFocus();
        QTest::keyClicks(host.first, QStringLiteral("abc"));
        QTest::keyClick(host.first, Qt::Key_Return);
        QVERIFY(host.second->hasFocus());
        QTest::keyClick(host.second, Qt::Key_Enter);
        QVERIFY(host.second->hasFocus()); // end of the chain: nothing happens
        QCOMPARE(host.first->text(), QStringLiteral("abc"));
        QVERIFY(host.second->text().isEmpty());
    }

    void enterPressesAFocusedButton_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }
    void enterPressesAFocusedButton() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        const auto enter = Qt::Key(key);
        const auto mods = Qt::KeyboardModifiers(modifiers);
        QDialog dialog;
        dialog.resize(400, 200);
        auto* chained = named(new QLineEdit(&dialog), "txtInizio");
        chained->setGeometry(10, 10, 100, 22);
        auto* loose = named(new QLineEdit(&dialog), "txtAltro");
        loose->setGeometry(10, 50, 100, 22);
        QPushButton* apply = addButton(&dialog, QStringLiteral("btnApplica"),
                                       QStringLiteral("Applica e chiudi"), {200, 10, 160, 32});
        QPushButton* cancel = addButton(&dialog, QStringLiteral("btnAnnulla"),
                                        QStringLiteral("Annulla"), {200, 60, 160, 32});
        QSignalSpy applied(apply, &QPushButton::clicked);
        QSignalSpy cancelled(cancel, &QPushButton::clicked);
        KeyRules::enterMovesTo(chained, apply);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        // In a field Enter only moves along the chain, or does nothing at all.
        loose->setFocus();
        QTest::keyClick(loose, enter, mods);
        chained->setFocus();
        QTest::keyClick(chained, enter, mods);
        QVERIFY(apply->hasFocus());
        QCOMPARE(applied.count(), 0);
        QCOMPARE(cancelled.count(), 0);
        QVERIFY(dialog.isVisible());

        // On the button it presses it, once even when held down.
        QTest::keyClick(apply, enter, mods);
        QCOMPARE(applied.count(), 1);
        QKeyEvent repeated(QEvent::KeyPress, enter, mods, QString(), true);
        QApplication::sendEvent(apply, &repeated);
        QCOMPARE(applied.count(), 1);
        cancel->setFocus();
        QTest::keyClick(cancel, enter, mods);
        QCOMPARE(cancelled.count(), 1);
        QCOMPARE(applied.count(), 1);
        // Space as before.
        QTest::keyClick(cancel, Qt::Key_Space);
        QCOMPARE(cancelled.count(), 2);
        QCOMPARE(apply->cursor().shape(), Qt::PointingHandCursor);
    }

    void focusHaloFollowsTheFocus() {
        Host host;
        FocusHalo* halo = FocusHalo::attach(host.first);
        FocusHalo::attach(host.second);
        QCOMPARE(halo->objectName(), QStringLiteral("effPrimo"));
        QCOMPARE(halo->geometry(), QRect(48, 23, 88, 30));
        QVERIFY(host.show());
        auto* other = host.window.findChild<QWidget*>(QStringLiteral("effSecondo"));
        QVERIFY(other);
        host.first->setFocus();
        QTRY_VERIFY(halo->isVisible());
        QVERIFY(!other->isVisible());
        host.second->setFocus();
        QTRY_VERIFY(!halo->isVisible());
        QVERIFY(other->isVisible());
    }

    void dateFieldEmptiesOrAsksForTheCalendar() {
        Host host;
        host.first->setText(QStringLiteral("05/03/2021"));
        DateField* date = DateField::attach(host.first);
        QSignalSpy asked(date, &DateField::importRequested);
        QVERIFY(host.show());
        host.first->setFocus();
        QVERIFY(host.first->isReadOnly());
        QTest::keyClick(host.first, Qt::Key_A);
        QTest::keyClick(host.first, Qt::Key_5);
        QTest::keyClick(host.first, Qt::Key_Return);
        QCOMPARE(asked.count(), 3);
        QCOMPARE(host.first->text(), QStringLiteral("05/03/2021"));
        QTest::keyClick(host.first, Qt::Key_Shift); // a lone modifier asks for nothing
        QCOMPARE(asked.count(), 3);
        QTest::keyClick(host.first, Qt::Key_Backspace);
        QVERIFY(host.first->text().isEmpty());
        host.first->setText(QStringLiteral("01/01/2020"));
        QTest::keyClick(host.first, Qt::Key_Delete);
        QVERIFY(host.first->text().isEmpty());
    }

    void hintLineFollowsThePointer() {
        Host host;
        auto* panInfo = new QLabel(QStringLiteral("Pronto"), &host.window);
        panInfo->setGeometry(0, 270, 400, 20);
        auto* plain = new QLabel(QStringLiteral("Etichetta"), &host.window);
        plain->setGeometry(200, 120, 100, 20);
        HintLine hints(panInfo);
        hints.setHint(host.button, QStringLiteral("Apre il file."));
        hints.setHint(host.first, QStringLiteral("Il primo campo."));
        hints.clearsOn(&host.window);
        QVERIFY(host.show());

        QTest::mouseMove(host.button);
        QTRY_COMPARE(panInfo->text(), QStringLiteral("Apre il file."));
        QTest::mouseMove(plain); // a label without a hint leaves the line alone
        QTest::mouseMove(plain, QPoint(10, 5));
        QCOMPARE(panInfo->text(), QStringLiteral("Apre il file."));
        QTest::mouseMove(host.first);
        QTRY_COMPARE(panInfo->text(), QStringLiteral("Il primo campo."));
        QTest::mouseMove(&host.window, QPoint(350, 200)); // the background
        QTest::mouseMove(&host.window, QPoint(352, 202));
        QTRY_VERIFY(panInfo->text().isEmpty());
        // The hint line's own text empties it too.
        QTest::mouseMove(host.button);
        QTRY_COMPARE(panInfo->text(), QStringLiteral("Apre il file."));
        QTest::mouseMove(panInfo, QPoint(5, 5));
        QTest::mouseMove(panInfo, QPoint(7, 6));
        QTRY_VERIFY(panInfo->text().isEmpty());
    }

    void hintBarEmptiesTheLine_data() {
        QTest::addColumn<QPoint>("where"); // in the panel
        QTest::newRow("bar beside the text") << QPoint(395, 265);
        QTest::newRow("text area") << QPoint(40, 260);
        QTest::newRow("text area, far right") << QPoint(380, 262);
    }
    void hintBarEmptiesTheLine() {
        QFETCH(QPoint, where);
        QWidget window;
        window.resize(400, 280);
        auto* panel = new QWidget(&window);
        panel->setGeometry(0, 0, 400, 280);
        WindowPanel content(panel, &window, QStringLiteral("Muovere il mouse sui pulsanti."));
        content.addArea("shpSfondo", {0, 0, 400, 240}, Qt::white);
        ImageButton* tool = content.addTool("cmdSalva", artwork("salva"), {10, 10, 37, 39},
                                            QStringLiteral("Salva la scheda."));
        content.addHintBar("shpInfo", {0, 250, 400, 30}, Qt::darkBlue, {5, 5});
        QLabel* panInfo = control<QLabel>(&window, "panInfo");
        QVERIFY(panInfo->geometry().contains(QPoint(40, 260)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mouseMove(tool);
        QTRY_COMPARE(panInfo->text(), QStringLiteral("Salva la scheda."));
        QTest::mouseMove(panel, where);
        QTest::mouseMove(panel, where + QPoint(1, 1));
        QTRY_VERIFY(panInfo->text().isEmpty());
    }

    void linkLabelColoursAndClicks() {
        QWidget window;
        window.resize(300, 100);
        auto* link = new LinkLabel(&window, QStringLiteral("Visualizza guida"));
        link->move(40, 10);
        auto* picture = new QWidget(&window);
        picture->setGeometry(5, 10, 27, 27);
        link->addBuddy(picture);
        QSignalSpy clicked(link, &LinkLabel::clicked);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QColor darkBlue(0x00, 0x00, 0x8B);
        QCOMPARE(textColour(link), darkBlue);
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

        QTest::mousePress(picture, Qt::LeftButton);
        QCOMPARE(textColour(link), QColor(0xFF, 0xA5, 0x00));
        QTest::mouseRelease(picture, Qt::LeftButton);
        QCOMPARE(textColour(link), darkBlue);
        QCOMPARE(clicked.count(), 1);
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(textColour(link), darkBlue);
    }

    void panelStaysInTheMiddle() {
        QWidget window;
        auto* backdrop = new Backdrop(&window, Qt::blue, Qt::white, QSize(300, 200));
        window.resize(700, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(backdrop->panel()->objectName(), QStringLiteral("panContainer"));
        QTRY_COMPARE(backdrop->panel()->geometry(), QRect(200, 150, 300, 200));
        window.resize(900, 500);
        QTRY_COMPARE(backdrop->panel()->geometry(), QRect(300, 150, 300, 200));
    }

    void messageBoxKinds_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<bool>("answer"); // what the default button answers
        QTest::newRow("notice") << int(MessageKind::Notice) << "Faldora" << int(QMessageBox::NoIcon)
                                << QStringList{"OK"} << true;
        QTest::newRow("warning") << int(MessageKind::Warning) << "Attenzione"
                                 << int(QMessageBox::Warning) << QStringList{"OK", "Annulla"}
                                 << true;
        QTest::newRow("information")
            << int(MessageKind::Information) << "Informazione" << int(QMessageBox::Information)
            << QStringList{"OK", "Annulla"} << true;
        QTest::newRow("error") << int(MessageKind::Error) << "Errore" << int(QMessageBox::Critical)
                               << QStringList{"OK", "Annulla"} << true;
        QTest::newRow("question") << int(MessageKind::Question) << "Conferma"
                                  << int(QMessageBox::Question)
                                  << QStringList{QStringLiteral("Sì"), "No"} << true;
    }
    void messageBoxKinds() {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(int, icon);
        QFETCH(QStringList, buttons);
        QFETCH(bool, answer);
        // The real boxes, with Qt's Italian texts.
        Application::configure(*qApp);
        QString seenCaption;
        int seenIcon = -1;
        QStringList seenButtons;
        QWidget parent;
        bool result = false;
        ANSWER_MODAL(
            [&] {
                result =
                    Services::messages().show(&parent, MessageKind(kind), QStringLiteral("Testo"));
            },
            [&](QDialog* dialog) {
                auto* box = qobject_cast<QMessageBox*>(dialog);
                QVERIFY(box);
                seenCaption = box->windowTitle();
                seenIcon = int(box->icon());
                for (QAbstractButton* b : box->buttons())
                    seenButtons.append(b->text().remove(u'&'));
                QTest::keyClick(box, Qt::Key_Return); // the default button
            });
        QCOMPARE(seenCaption, caption);
        QCOMPARE(seenIcon, icon);
        seenButtons.sort();
        buttons.sort();
        QCOMPARE(seenButtons, buttons);
        QCOMPARE(result, answer);
    }

    void openDialogFilter_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("every file")
            << QStringLiteral("Tutti i file (*.*)") << QStringList{"LEGGIMI", "lettera.pdf"};
        QTest::newRow("one kind") << QStringLiteral("Documenti PDF (*.pdf)")
                                  << QStringList{"lettera.pdf"};
    }
    void openDialogFilter() {
        QFETCH(QString, filter);
        QFETCH(QStringList, shown);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        for (const char* name : {"LEGGIMI", "lettera.pdf"}) {
            QFile file(folder.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // The dialog the program shows, drawn by Qt (no desktop dialog in a test).
        QFileDialog dialog;
        OpenFileDialog::configure(dialog, QStringLiteral("Selezionare il file da allegare:"),
                                  filter);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setDirectory(folder.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Selezionare il file da allegare:"));
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
        QCOMPARE(control<QComboBox>(&dialog, "fileTypeCombo")->currentText(), filter);

        auto* list = control<QListView>(&dialog, "listView");
        const auto names = [list] {
            QStringList found;
            for (int row = 0; row < list->model()->rowCount(list->rootIndex()); ++row)
                found << list->model()->index(row, 0, list->rootIndex()).data().toString();
            found.sort();
            return found;
        };
        QTRY_COMPARE(names(), shown);
    }

    // The platform puts a window's caption in its title bar as it is: no program name after
    // it. Seen on the real program's login window in a virtual display, with xprop.
    void captionIsExactlyTheWindowsOwn() {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
        const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
        if (xvfb.isEmpty() || xprop.isEmpty() || xwininfo.isEmpty())
            QSKIP("Xvfb, xprop and xwininfo are needed to read a title bar");

        // The program in a folder of its own, which becomes its program folder.
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString copy = folder.filePath(QStringLiteral("faldora"));
        QVERIFY(QFile::copy(QStringLiteral(FALDORA_PATH), copy));

        Started server;
        server.process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                    QStringLiteral("-screen"), QStringLiteral("0"),
                                    QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                                    QStringLiteral("tcp")});
        QVERIFY2(server.process.waitForStarted(), "Xvfb does not start");
        // Xvfb writes its display number once it takes clients.
        while (!server.process.canReadLine() && server.process.waitForReadyRead(10000)) {
        }
        const QString number = QString::fromLatin1(server.process.readLine()).trimmed();
        QVERIFY2(!number.isEmpty(), "Xvfb gave no display");
        const QString display = QLatin1Char(':') + number;

        Started program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.process.setProcessEnvironment(env);
        program.process.start(copy, {});
        QVERIFY(program.process.waitForStarted());

        // The program's one window on the screen at start-up: the login window.
        static const QRegularExpression topLevel(
            QStringLiteral("^\\s*(0x[0-9a-f]+) .*: \\(\"faldora\" "),
            QRegularExpression::MultilineOption);
        static const QRegularExpression name(
            QStringLiteral("^_NET_WM_NAME\\(UTF8_STRING\\) = \"(.*)\"$"),
            QRegularExpression::MultilineOption);
        QStringList titles;
        QDeadlineTimer deadline(20000);
        while (titles.isEmpty() && !deadline.hasExpired() &&
               program.process.state() == QProcess::Running) {
            QTest::qWait(200);
            const QString tree =
                output(xwininfo, {QStringLiteral("-display"), display, QStringLiteral("-root"),
                                  QStringLiteral("-children")});
            for (const auto& window : topLevel.globalMatch(tree)) {
                const QString id = window.captured(1);
                const QString state = output(
                    xwininfo, {QStringLiteral("-display"), display, QStringLiteral("-id"), id});
                if (!state.contains(QLatin1String("IsViewable")))
                    continue;
                const auto title = name.match(
                    output(xprop, {QStringLiteral("-display"), display, QStringLiteral("-id"), id,
                                   QStringLiteral("_NET_WM_NAME")}));
                if (title.hasMatch())
                    titles << title.captured(1);
            }
        }
        QVERIFY2(program.process.state() == QProcess::Running,
                 program.process.readAllStandardError().constData());
        QCOMPARE(titles, QStringList{QStringLiteral(" Faldora - Accesso")});
    }

    void shellTargetsBecomeUrls_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QUrl>("url");
        QTest::newRow("quoted file")
            << QStringLiteral("\"/opt/Faldora/Guida.pdf\"")
            << QUrl::fromLocalFile(QStringLiteral("/opt/Faldora/Guida.pdf"));
        QTest::newRow("file with spaces")
            << QStringLiteral("\"/opt/Il mio Faldora/Documenti_Allegati/lettera 1.pdf\"")
            << QUrl::fromLocalFile(
                   QStringLiteral("/opt/Il mio Faldora/Documenti_Allegati/lettera 1.pdf"));
        QTest::newRow("web") << QStringLiteral("https://www.faldora.example")
                             << QUrl(QStringLiteral("https://www.faldora.example"));
        QTest::newRow("mail")
            << QStringLiteral("\"mailto:info@faldora.example?subject=Software Faldora\"")
            << QUrl(QStringLiteral("mailto:info@faldora.example?subject=Software Faldora"));
        QTest::newRow("empty") << QStringLiteral("\"\"") << QUrl();
    }
    void shellTargetsBecomeUrls() {
        QFETCH(QString, target);
        QFETCH(QUrl, url);
        QCOMPARE(TMisc::urlFor(target), url);
    }
};

QTEST_MAIN(TestConventions)
#include "tst_Conventions.moc"
