#include "core/Cp1252.h"
#include "core/Spreadsheet.h"
#include "support/Files.h"
#include "support/Workbook.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A data cell's opening tag, a literal so that rows can be written as adjacent literals.
#define CELL_OPEN "<td style=\"text-align: left; mso-number-format:\\@;\" sdnum=\"1040;0;@\">"

namespace {

const QByteArray kHead =
    "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
    "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" xmlns=\"http://www.w3.org/TR/REC-html40\">"
    "<head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
    "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
    "<x:Name>Prova</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane>"
    "<x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes>"
    "<x:ProtectContents>False</x:ProtectContents><x:ProtectObjects>False</x:ProtectObjects>"
    "<x:ProtectScenarios>False</x:ProtectScenarios></x:WorksheetOptions></x:ExcelWorksheet>"
    "</x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]--></head><body><table x:str>"
    "<tr><td style=\"text-align: left; font-weight: bold;\" width=200>Uno</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=120>Due</td></tr>";
const QByteArray kTail = "</table></body></html>";

Spreadsheet::Target target(const QString& sheet = QStringLiteral("Prova")) {
    return {QStringLiteral("Prova.xls"),
            sheet,
            {{QStringLiteral("Uno"), 200}, {QStringLiteral("Due"), 120}}};
}

QByteArray row(const QByteArray& a, const QByteArray& b) {
    return "<tr>" CELL_OPEN + a + "</td>" CELL_OPEN + b + "</td></tr>";
}

// A text column and a date column.
Spreadsheet::Target datedTarget() {
    return {QStringLiteral("Prova.xls"),
            QStringLiteral("Prova Posta"),
            {{QStringLiteral("Oggetto"), 300}, {QStringLiteral("Data ricezione"), 200, true}}};
}

using Grid = QList<QStringList>;

QByteArray bytesOf(const Spreadsheet::Target& target, const Grid& rows,
                   Spreadsheet::Format format) {
    return Spreadsheet::fileBytes(
        target, int(rows.size()),
        [&](int r, int c, QByteArray& scratch) {
            scratch = Cp1252::encode(rows[r][c]);
            return QByteArrayView(scratch);
        },
        format);
}

} // namespace

class TestSpreadsheet : public QObject {
    Q_OBJECT
private slots:
    void firstTagIs145Characters() {
        QCOMPARE(kHead.indexOf('>') + 1, 145);
        QVERIFY(Spreadsheet::fileBytes(target(), 0, {}).startsWith(kHead.left(145)));
    }

    void file_data() {
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("no rows: only the header") << QList<QStringList>{} << QByteArray();
        QTest::newRow("empty rows")
            << QList<QStringList>{{QString(), QString()}, {QString(), QString()}}
            << row("", "") + row("", "");
        QTest::newRow("trimmed, Windows-1252")
            << QList<QStringList>{{QStringLiteral("  Forlì "), QStringLiteral("€ 12,50\t")}}
            << row("Forl\xEC", "\x80 12,50");
        QTest::newRow("markup characters escaped")
            << QList<QStringList>{{QStringLiteral("Offerta <urgente> & riservata"),
                                   QStringLiteral("a&amp;b")}}
            << row("Offerta &lt;urgente&gt; &amp; riservata", "a&amp;amp;b");
        QTest::newRow("line breaks inside a cell keep the file on one line")
            << QList<QStringList>{{QStringLiteral("riga uno\r\nriga due"),
                                   QStringLiteral(" \nprima\n\nseconda\r ")}}
            << row("riga uno&#13;&#10;riga due", "prima&#10;&#10;seconda");
    }
    void file() {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QByteArray, body);
        const QByteArray bytes = Spreadsheet::fileBytes(target(), int(rows.size()),
                                                        [&](int r, int c, QByteArray& scratch) {
                                                            scratch = Cp1252::encode(rows[r][c]);
                                                            return QByteArrayView(scratch);
                                                        });
        QCOMPARE(bytes, kHead + body + kTail);
        QVERIFY(!bytes.contains('\r') && !bytes.contains('\n'));
    }

    // What a spreadsheet may take wrongly: each cell, in the CSV's bytes and read back from
    // the .xlsx (text, or a date where the column holds dates and the cell reads as one).
    void otherFormats_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QByteArray>("csvRow");
        QTest::addColumn<Workbook::Row>("xlsxRow");
        using Workbook::Cell;
        const auto row = [](const QString& text, const QString& date, bool isDate = true) {
            Workbook::Row cells;
            cells << Cell{text, false};
            if (!date.isEmpty())
                cells << Cell{date, isDate};
            return cells;
        };
        QTest::newRow("accents and the euro, trimmed")
            << QStringLiteral("  Forlì, però 12,50 € ") << QStringLiteral(" 02/01/2026 ")
            << QByteArray("Forl\xC3\xAC, per\xC3\xB2 12,50 \xE2\x82\xAC;02/01/2026")
            << row(QStringLiteral("Forlì, però 12,50 €"), QStringLiteral("02/01/2026"));
        QTest::newRow("separator and quotes")
            << QStringLiteral("Rossi; Bianchi \"Il Faro\"") << QString()
            << QByteArray("\"Rossi; Bianchi \"\"Il Faro\"\"\";")
            << row(QStringLiteral("Rossi; Bianchi \"Il Faro\""), {});
        QTest::newRow("line breaks kept")
            << QStringLiteral("riga uno\r\nriga due\nfine") << QString()
            << QByteArray("\"riga uno\r\nriga due\nfine\";")
            << row(QStringLiteral("riga uno\r\nriga due\nfine"), {});
        QTest::newRow("formulas stay text")
            << QStringLiteral("=1+1") << QStringLiteral("+39 06 1234")
            << QByteArray("'=1+1;'+39 06 1234")
            << row(QStringLiteral("=1+1"), QStringLiteral("+39 06 1234"), false);
        QTest::newRow("minus and at sign")
            << QStringLiteral("-5") << QStringLiteral("@SOMMA(A1)") << QByteArray("'-5;'@SOMMA(A1)")
            << row(QStringLiteral("-5"), QStringLiteral("@SOMMA(A1)"), false);
        QTest::newRow("numbers stay text in the .xlsx")
            << QStringLiteral("007") << QStringLiteral("1E5") << QByteArray("007;1E5")
            << row(QStringLiteral("007"), QStringLiteral("1E5"), false);
        QTest::newRow("not a date: no such day, short year")
            << QStringLiteral("<b> & </b>") << QStringLiteral("31/02/2026")
            << QByteArray("<b> & </b>;31/02/2026")
            << row(QStringLiteral("<b> & </b>"), QStringLiteral("31/02/2026"), false);
        QTest::newRow("short date stays as typed")
            << QStringLiteral("x") << QStringLiteral("2/1/26") << QByteArray("x;2/1/26")
            << row(QStringLiteral("x"), QStringLiteral("2/1/26"), false);
        QTest::newRow("control characters and what looks like their code")
            << QStringLiteral("a\x01"
                              "b _x0041_ c")
            << QString()
            << QByteArray("a\x01"
                          "b _x0041_ c;")
            << row(QStringLiteral("a\x01"
                                  "b _x0041_ c"),
                   {});
        QTest::newRow("empty cells")
            << QString() << QString() << QByteArray(";") << Workbook::Row{};
    }
    void otherFormats() {
        QFETCH(QString, text);
        QFETCH(QString, date);
        QFETCH(QByteArray, csvRow);
        QFETCH(Workbook::Row, xlsxRow);
        const Grid rows{{text, date}};

        const QByteArray csv = bytesOf(datedTarget(), rows, Spreadsheet::Format::Csv);
        QCOMPARE(csv, "\xEF\xBB\xBFOggetto;Data ricezione\r\n" + csvRow + "\r\n");

        const Workbook::Sheet sheet =
            Workbook::read(bytesOf(datedTarget(), rows, Spreadsheet::Format::Xlsx));
        QVERIFY(sheet.readable);
        QCOMPARE(sheet.name, QStringLiteral("Prova Posta"));
        const Workbook::Row titles{{QStringLiteral("Oggetto"), false},
                                   {QStringLiteral("Data ricezione"), false}};
        QCOMPARE(sheet.rows.value(0), titles);
        QCOMPARE(sheet.rows.value(1), xlsxRow);
    }

    // Many rows go to the file in several pieces; none is lost or doubled at their seams.
    void manyRowsWholeInEveryFormat() {
        Grid rows;
        for (int i = 0; i < 30000; ++i)
            rows << QStringList{
                QStringLiteral("Oggetto della scheda n. %1 (città)").arg(i),
                QDate(2026, 1, 1).addDays(i % 365).toString(QStringLiteral("dd/MM/yyyy"))};
        QByteArray csvBody;
        QByteArray xlsBody;
        for (const QStringList& r : rows) {
            csvBody += r[0].toUtf8() + ';' + r[1].toUtf8() + "\r\n";
            xlsBody += row(Cp1252::encode(r[0]), Cp1252::encode(r[1]));
        }
        const QByteArray csv = bytesOf(datedTarget(), rows, Spreadsheet::Format::Csv);
        QVERIFY(csv.size() > 1 << 20);
        QVERIFY(csv.endsWith(csvBody));
        QCOMPARE(csv.size(),
                 qsizetype(sizeof("\xEF\xBB\xBFOggetto;Data ricezione\r\n") - 1) + csvBody.size());
        const QByteArray xls = bytesOf(datedTarget(), rows, Spreadsheet::Format::Xls);
        QVERIFY(xls.endsWith(xlsBody + kTail));
        const Workbook::Sheet sheet =
            Workbook::read(bytesOf(datedTarget(), rows, Spreadsheet::Format::Xlsx));
        QCOMPARE(sheet.rows.size(), rows.size() + 1);
        for (qsizetype i = 0; i < rows.size(); ++i)
            QCOMPARE(sheet.rows[i + 1], (Workbook::Row{{rows[i][0], false}, {rows[i][1], true}}));
    }

    // More rows than a worksheet holds: refused before anything is written or asked of the
    // rows, and the earlier file stays.
    void tooManyRowsForAWorkbook() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Prova.xlsx"));
        writeBytes(path, "prima");
        int asked = 0;
        const auto rows = [&](int, Spreadsheet::Writer&) { ++asked; };
        QCOMPARE(Spreadsheet::write(path, Spreadsheet::Format::Xlsx, datedTarget(),
                                    Spreadsheet::kXlsxMaxRows + 1, rows),
                 Spreadsheet::Outcome::TooManyRows);
        QCOMPARE(asked, 0);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("prima"));
    }

    void formatsAndNames() {
        const Spreadsheet::Target t = Spreadsheet::documentExport();
        QCOMPARE(Spreadsheet::fileName(t, Spreadsheet::Format::Xls),
                 QStringLiteral("Schedario_Documenti.xls"));
        QCOMPARE(Spreadsheet::fileName(t, Spreadsheet::Format::Xlsx),
                 QStringLiteral("Schedario_Documenti.xlsx"));
        QCOMPARE(Spreadsheet::fileName(t, Spreadsheet::Format::Csv),
                 QStringLiteral("Schedario_Documenti.csv"));
        QCOMPARE(Spreadsheet::formatOfKey(QStringLiteral("XLSX")), Spreadsheet::Format::Xlsx);
        QCOMPARE(Spreadsheet::formatOfKey(QStringLiteral("ods")), std::nullopt);
        // The date columns of each table.
        const auto dates = [](const Spreadsheet::Target& target) {
            QStringList titles;
            for (const Spreadsheet::Column& c : target.columns)
                if (c.date)
                    titles << c.title;
            return titles;
        };
        QCOMPARE(dates(Spreadsheet::protocolExport()),
                 (QStringList{"Data registrazione", "Data spedizione", "Data ricezione"}));
        QCOMPARE(dates(t), (QStringList{"Data produzione", "Data ricezione"}));
    }

    void worksheetNameEscaped() {
        const QByteArray bytes = Spreadsheet::fileBytes(target(QStringLiteral("A & B")), 0, {});
        QVERIFY(bytes.contains("<x:Name>A &amp; B</x:Name>"));
    }

    void targets() {
        QCOMPARE(Spreadsheet::protocolSummary().fileName, QStringLiteral("Protocollo.xls"));
        QCOMPARE(Spreadsheet::protocolSummary().worksheet, QStringLiteral("Protocollo Documenti"));
        QCOMPARE(Spreadsheet::protocolExport().worksheet, QStringLiteral("Protocollo Posta"));
        QCOMPARE(Spreadsheet::protocolExport().columns.size(), 18);
        QCOMPARE(Spreadsheet::documentExport().columns.size(), 22);
        QCOMPARE(Spreadsheet::documentExport().fileName, QStringLiteral("Schedario_Documenti.xls"));
    }
};

QTEST_APPLESS_MAIN(TestSpreadsheet)
#include "tst_Spreadsheet.moc"
