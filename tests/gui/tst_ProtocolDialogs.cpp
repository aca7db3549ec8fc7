#include "app/WindowRegistry.h"
#include "core/IniFile.h"
#include "protocol/MenuProtocollo.h"
#include "protocol/Numerazione.h"
#include "protocol/Protocollo.h"
#include "support/ReadOnly.h"
#include "support/TestServices.h"
#include "ui/Calendario.h"
#include "ui/Widgets.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(MessageKind)

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The numbering window's start number and year box.
QLineEdit* startField(TfrmNumerazione& w) {
    return control<QLineEdit>(&w, "txtInizio");
}
QCheckBox* yearBox(TfrmNumerazione& w) {
    return control<QCheckBox>(&w, "chkTipo");
}

// The date import window's calendar.
QCalendarWidget* calendar(TfrmCalendario& dialog) {
    return control<QCalendarWidget>(&dialog, "calAppuntamenti");
}

} // namespace

class TestProtocolDialogs : public QObject {
    Q_OBJECT
private slots:
    // Year selection.

    void yearSelectionShowsTheCurrentYear() {
        TestServices services;
        WindowRegistry registry;
        registry.createAll();
        TfrmMenuProtocollo* w = registry.menuProtocollo();
        auto* yearField = control<QLineEdit>(w, "txtAnnoPreventivi");
        auto* memory = control<QLabel>(w, "lblMemory");
        auto* open = control<QAbstractButton>(w, "btnApriPreventivi");
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QCOMPARE(yearField->text(), QStringLiteral("2026"));
        QCOMPARE(memory->text(), QStringLiteral("avvio"));
        QTRY_VERIFY(yearField->hasFocus());

        yearField->clear();
        QTest::keyClicks(yearField, QStringLiteral("2a0b2c1"));
        QCOMPARE(yearField->text(), QStringLiteral("2021"));
        QTest::keyClick(yearField,
                        Qt::Key_5); // a fifth digit does not fit
        QCOMPARE(yearField->text(), QStringLiteral("2021"));
        QTest::keyClick(yearField,
                        Qt::Key_Return); // moves on, opens nothing
        QVERIFY(open->hasFocus());
        QVERIFY(w->isVisible());

        // Every showing starts afresh.
        w->hide();
        memory->setText(QStringLiteral("protocollo"));
        w->show();
        QCOMPARE(yearField->text(), QStringLiteral("2026"));
        QCOMPARE(memory->text(), QStringLiteral("avvio"));
    }

    void yearOfTheWrongLength_data() {
        QTest::addColumn<QString>("year");
        QTest::newRow("empty") << "";
        QTest::newRow("one digit") << "2";
        QTest::newRow("three digits") << "202";
    }
    void yearOfTheWrongLength() {
        QFETCH(QString, year);
        TestServices services;
        WindowRegistry registry;
        registry.createAll();
        TfrmMenuProtocollo* w = registry.menuProtocollo();
        auto* yearField = control<QLineEdit>(w, "txtAnnoPreventivi");
        auto* memory = control<QLabel>(w, "lblMemory");
        auto* open = control<QAbstractButton>(w, "btnApriPreventivi");
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const QString fileBefore = control<QLabel>(registry.protocollo(), "lblFile")->text();
        yearField->setText(year);
        QTest::mouseClick(open, Qt::LeftButton);
        QCOMPARE(services.messages.size(), 1);
        QCOMPARE(services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(services.messages[0].text,
                 QStringLiteral("Attenzione: indicare l'anno solare utilizzando quattro cifre."));
        QVERIFY(w->isVisible());
        QCOMPARE(yearField->text(), year);
        QCOMPARE(memory->text(), QStringLiteral("avvio"));
        QCOMPARE(control<QLabel>(registry.protocollo(), "lblFile")->text(), fileBefore);
        QTRY_VERIFY(yearField->hasFocus());
    }

    void openingAYearHandsOverToTheCardWindow_data() {
        QTest::addColumn<QString>("year");
        QTest::newRow("2021") << "2021";
        QTest::newRow("0000") << "0000";
        QTest::newRow("far future") << "9999";
    }
    void openingAYearHandsOverToTheCardWindow() {
        QFETCH(QString, year);
        TestServices services;
        WindowRegistry registry;
        registry.createAll();
        TfrmMenuProtocollo* w = registry.menuProtocollo();
        auto* yearField = control<QLineEdit>(w, "txtAnnoPreventivi");
        auto* open = control<QAbstractButton>(w, "btnApriPreventivi");
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        yearField->setText(year);
        QTest::mouseClick(open, Qt::LeftButton);
        TfrmProtocollo* card = registry.protocollo();
        QCOMPARE(control<QLabel>(card, "lblFile")->text(),
                 services.file(year + QStringLiteral(".prt")));
        QCOMPARE(card->windowTitle(), QStringLiteral(" Faldora - Protocollo Posta anno ") + year);
        QVERIFY(card->isVisible());
        QVERIFY(!w->isVisible());
        QVERIFY(services.messages.isEmpty());
        // The register is not opened by the choice of the year.
        QVERIFY(!QFile::exists(control<QLabel>(card, "lblFile")->text()));
        card->hide();
    }

    // Date import.

    // The card windows write the date into their own field: tst_Protocollo and
    // tst_CardWindow check that through real card windows.
    void importHandsBackTheDate_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("known"); // false: nothing is handed back and the window stays
        QTest::newRow("datareg") << "datareg" << true;
        QTest::newRow("datapro") << "datapro" << true;
        QTest::newRow("datades") << "datades" << true;
        QTest::newRow("case matters") << "DataReg" << false;
        QTest::newRow("blanks are not removed") << " datareg" << false;
        QTest::newRow("no tag") << "" << false;
    }
    void importHandsBackTheDate() {
        QFETCH(QString, tag);
        QFETCH(bool, known);
        TestServices services;
        QWidget opener;
        TfrmCalendario dialog(&opener);
        control<QLabel>(&dialog, "lblMemory")->setText(tag);
        QCOMPARE(calendar(dialog)->selectedDate(), QDate(2026, 3, 5)); // today
        calendar(dialog)->setSelectedDate(QDate(2021, 3, 5));
        dialog.show();
        QTest::mouseClick(control<QAbstractButton>(&dialog, "btnImportaData"), Qt::LeftButton);
        QCOMPARE(dialog.importedDate(), known ? QStringLiteral("05/03/2021") : QString());
        QCOMPARE(dialog.isVisible(), !known);
        QCOMPARE(dialog.result(), known ? int(QDialog::Accepted) : 0);
    }

    void annullaHandsBackNothing() {
        TestServices services;
        QWidget opener;
        TfrmCalendario dialog(&opener);
        control<QLabel>(&dialog, "lblMemory")->setText(QStringLiteral("datareg"));
        calendar(dialog)->setSelectedDate(QDate(2021, 3, 5));
        dialog.show();
        QTest::mouseClick(control<QAbstractButton>(&dialog, "btnAnnulla"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(dialog.importedDate().isEmpty());
    }

    void calendarSpeaksItalian() {
        TestServices services;
        TfrmCalendario dialog(nullptr);
        QCOMPARE(calendar(dialog)->firstDayOfWeek(), Qt::Monday);
        QCOMPARE(calendar(dialog)->locale().monthName(3), QStringLiteral("marzo"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral(" Importazione data"));
        QCOMPARE(dialog.size(), QSize(253, 294));
    }

    // Numbering settings.

    void numberingFirstUse() {
        TestServices services;
        TfrmNumerazione w(nullptr);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(startField(w)->text(), QStringLiteral("1"));
        QVERIFY(!yearBox(w)->isChecked());
        QTRY_VERIFY(startField(w)->hasFocus());
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("effInizio"))->isVisible());
        QTest::mouseClick(control<QAbstractButton>(&w, "btnApplica"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(
            readBytes(services.file(QStringLiteral("Faldora_Pro.ini"))),
            QByteArray("[Numerazione Protocollo]\r\nInizio=1\r\nIndicazione Anno Solare=No\r\n"));
    }

    void numberingStartIsLeftInShape_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("stored");
        QTest::newRow("00050") << "00050"
                               << "50";
        QTest::newRow("0") << "0"
                           << "0";
        QTest::newRow("cleared") << ""
                                 << "1";
        QTest::newRow("letters filtered out") << "4x2"
                                              << "42";
    }
    void numberingStartIsLeftInShape() {
        QFETCH(QString, keys);
        QFETCH(QString, stored);
        TestServices services;
        TfrmNumerazione w(nullptr);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        startField(w)->clear();
        QTest::keyClicks(startField(w), keys);
        yearBox(w)->setFocus(); // leaving the field
        QCOMPARE(startField(w)->text(), stored);
        yearBox(w)->setChecked(true);
        QTest::mouseClick(control<QAbstractButton>(&w, "btnApplica"), Qt::LeftButton);
        const IniFile ini(services.file(QStringLiteral("Faldora_Pro.ini")));
        QCOMPARE(ini.read(QStringLiteral("Numerazione Protocollo"), QStringLiteral("Inizio")),
                 stored);
        QCOMPARE(ini.read(QStringLiteral("Numerazione Protocollo"),
                          QStringLiteral("Indicazione Anno Solare")),
                 QStringLiteral("Sì"));
    }

    void numberingEnterGoesToApply() {
        TestServices services;
        TfrmNumerazione w(nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        startField(w)->setText(QStringLiteral("007"));
        QTest::keyClick(startField(w), Qt::Key_Return);
        QVERIFY(control<QAbstractButton>(&w, "btnApplica")->hasFocus());
        QCOMPARE(startField(w)->text(), QStringLiteral("7"));
        QVERIFY(w.isVisible());
    }

    void numberingEnterOnApplyApplies() {
        TestServices services;
        TfrmNumerazione w(nullptr);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        startField(w)->setText(QStringLiteral("007"));
        QTest::keyClick(startField(w), Qt::Key_Return);
        QVERIFY(control<QAbstractButton>(&w, "btnApplica")->hasFocus());
        QVERIFY(w.isVisible());
        QTest::keyClick(control<QAbstractButton>(&w, "btnApplica"), Qt::Key_Return);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QVERIFY(!w.isVisible());
        QCOMPARE(IniFile(services.file(QStringLiteral("Faldora_Pro.ini")))
                     .read(QStringLiteral("Numerazione Protocollo"), QStringLiteral("Inizio")),
                 QStringLiteral("7"));
    }

    void numberingYearBoxShowsItsText_data() {
        QTest::addColumn<int>("width"); // of the box, to make the text wrap
        QTest::newRow("as laid out") << 0;
        QTest::newRow("narrower: the text wraps") << 250;
    }
    void numberingYearBoxShowsItsText() {
        QFETCH(int, width);
        TestServices services;
        TfrmNumerazione w(nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* box = qobject_cast<WrappingCheckBox*>(yearBox(w));
        QVERIFY(box);
        QCOMPARE(box->text(),
                 QStringLiteral("Indica l'anno solare dopo il numero progressivo del documento"));
        QCOMPARE(box->font().family(), QStringLiteral("Arial"));
        QVERIFY(box->font().bold());
        QCOMPARE(box->cursor().shape(), Qt::PointingHandCursor);
        // On its white section.
        const QRect section = control<QWidget>(&w, "shpSezione3")->geometry();
        QVERIFY(section.contains(box->geometry()));
        if (width > 0)
            box->resize(width, box->height());

        // Every line of the text shows inside the box.
        const QRect lines = box->textBounds();
        QVERIFY2(box->rect().contains(lines), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                             .arg(lines.x())
                                                             .arg(lines.y())
                                                             .arg(lines.width())
                                                             .arg(lines.height())));
        QVERIFY(box->textArea().contains(lines));
        const int lineHeight = box->fontMetrics().height();
        QCOMPARE(lines.height() >= 2 * lineHeight, width > 0);

        // A click on the text, its first word and its last line, toggles it.
        QVERIFY(!box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(lines.left() + 4, lines.top() + 4));
        QVERIFY(box->isChecked());
        QTest::mouseClick(box, Qt::LeftButton, {},
                          QPoint(lines.left() + 20, lines.bottom() - lineHeight / 2));
        QVERIFY(!box->isChecked());
    }

    void numberingShowsTheStoredValues_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("checked");
        QTest::newRow("Sì") << QStringLiteral("Sì") << true;
        QTest::newRow("si") << "si" << false;
        QTest::newRow("SI") << "SI" << false;
        QTest::newRow("Si") << "Si" << false;
        QTest::newRow("No") << "No" << false;
    }
    void numberingShowsTheStoredValues() {
        QFETCH(QString, year);
        QFETCH(bool, checked);
        TestServices services;
        const IniFile ini(services.file(QStringLiteral("Faldora_Pro.ini")));
        QVERIFY(ini.write(QStringLiteral("Numerazione Protocollo"), QStringLiteral("Inizio"),
                          QStringLiteral("100")));
        QVERIFY(ini.write(QStringLiteral("Numerazione Protocollo"),
                          QStringLiteral("Indicazione Anno Solare"), year));
        TfrmNumerazione w(nullptr);
        w.setOpenerTag(QStringLiteral(" protocollo "));
        w.show();
        QCOMPARE(startField(w)->text(), QStringLiteral("100"));
        QCOMPARE(yearBox(w)->isChecked(), checked);
    }

    void numberingAnnullaWritesNothing() {
        TestServices services;
        const QString path = services.file(QStringLiteral("Faldora_Pro.ini"));
        QVERIFY(IniFile(path).write(QStringLiteral("Numerazione Protocollo"),
                                    QStringLiteral("Inizio"), QStringLiteral("5")));
        const QByteArray before = readBytes(path);
        TfrmNumerazione w(nullptr);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        startField(w)->setText(QStringLiteral("300"));
        yearBox(w)->setChecked(true);
        QTest::mouseClick(control<QAbstractButton>(&w, "btnAnnulla"), Qt::LeftButton);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QCOMPARE(readBytes(path), before);
    }

    void numberingWithoutTheTagTouchesNoFile() {
        TestServices services;
        TfrmNumerazione w(nullptr);
        w.show();
        QTest::mouseClick(control<QAbstractButton>(&w, "btnApplica"), Qt::LeftButton);
        QVERIFY(!QFile::exists(services.file(QStringLiteral("Faldora_Pro.ini"))));
    }

    void numberingRefusedWriteStaysOpen() {
        TestServices services;
        const QString path = services.file(QStringLiteral("Faldora_Pro.ini"));
        QVERIFY(IniFile(path).write(QStringLiteral("Numerazione Protocollo"),
                                    QStringLiteral("Inizio"), QStringLiteral("5")));
        const QByteArray before = readBytes(path);
        ReadOnly readOnly(path);
        if (!readOnly.ok())
            QSKIP("this machine cannot make the file read-only");
        TfrmNumerazione w(nullptr);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        startField(w)->setText(QStringLiteral("9"));
        QTest::mouseClick(control<QAbstractButton>(&w, "btnApplica"), Qt::LeftButton);
        QCOMPARE(services.messages.size(), 1);
        QCOMPARE(services.messages[0].kind, MessageKind::Error);
        QCOMPARE(services.messages[0].text, QStringLiteral("Unable to write to ") + path);
        QVERIFY(w.isVisible());
        QCOMPARE(readBytes(path), before);
    }
};

QTEST_MAIN(TestProtocolDialogs)
#include "tst_ProtocolDialogs.moc"
