#include "core/Cp1252.h"
#include "core/Spreadsheet.h"

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

    void aFailedWriteKeepsThePreviousFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Protocollo.xls"));
        QVERIFY(Spreadsheet::write(path, "prima"));
        QVERIFY(Spreadsheet::write(path, "seconda"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("seconda"));
        QVERIFY(!Spreadsheet::write(dir.filePath(QStringLiteral("manca/Protocollo.xls")), "x"));
    }
};

QTEST_APPLESS_MAIN(TestSpreadsheet)
#include "tst_Spreadsheet.moc"
