#include "core/DocumentRecord.h"
#include "core/RecordArchive.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kSize = 3991;

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

DocumentRecord card(int n) {
    DocumentRecord r;
    r.setText(DocumentRecord::Documento, QStringLiteral("Contratto di locazione %1").arg(n));
    r.setText(DocumentRecord::Produttore, QStringLiteral("Studio Bianchi"));
    r.setText(DocumentRecord::DataPro, QStringLiteral("0%1/02/2026").arg(n));
    r.setText(DocumentRecord::Note, QStringLiteral("Scheda %1").arg(n));
    r.setToComplete(n % 2 == 0);
    return r;
}

} // namespace

// The document card index: its 3991-byte record and the file of records.
class TestDocumentRecord : public QObject {
    Q_OBJECT
private slots:
    void layoutMatchesTheIndexFormat() {
        struct Expected {
            const char* name;
            int offset;
            int capacity;
        };
        // clang-format off
        const Expected expected[] = {
            {"Documento", 0, 120},       {"Protocollo", 121, 30},      {"Produttore", 152, 50},
            {"IndirizzoPro", 203, 120},  {"DataPro", 324, 10},         {"Destinatario", 335, 50},
            {"IndirizzoDes", 386, 120},  {"DataDes", 507, 10},         {"Oggetto", 518, 250},
            {"Tipo", 769, 50},           {"Classificazione", 820, 50}, {"Fascicolo", 871, 120},
            {"Formato", 992, 50},        {"Pagine", 1043, 30},         {"Allegati", 1074, 250},
            {"Riferimenti", 1325, 250},  {"Livello", 1576, 50},        {"Software", 1627, 50},
            {"Luogo", 1678, 50},         {"Soggetti", 1729, 250},      {"Note", 1980, 250},
            {"Copia", 2231, 250},        {"DaCompletare", 2482, 2},    {"File01", 2485, 250},
            {"File02", 2736, 250},       {"File03", 2987, 250},        {"Desc01", 3238, 250},
            {"Desc02", 3489, 250},       {"Desc03", 3740, 250},
        };
        // clang-format on
        const RecordLayout& layout = DocumentRecord::layout();
        QCOMPARE(layout.fieldCount(), int(std::size(expected)));
        QCOMPARE(layout.fieldCount(), int(DocumentRecord::FieldCount));
        for (int i = 0; i < layout.fieldCount(); ++i) {
            QCOMPARE(QLatin1String(layout.field(i).name), QLatin1String(expected[i].name));
            QCOMPARE(layout.field(i).offset, expected[i].offset);
            QCOMPARE(layout.field(i).capacity, expected[i].capacity);
        }
        QCOMPARE(layout.size(), kSize);
        QCOMPARE(DocumentRecord().bytes().size(), kSize);
    }

    void storedBytes_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes"); // length byte and text, at the field's offset
        QTest::addColumn<QString>("loaded");
        const QString name130 = QString(130, u'n');
        QTest::newRow("name of 130 characters keeps 120")
            << int(DocumentRecord::Documento) << name130
            << QByteArray("\x78") + QByteArray(120, 'n') << name130.left(120);
        QTest::newRow("producer with blanks around it")
            << int(DocumentRecord::Produttore) << QStringLiteral("  Rossi  ")
            << QByteArray("\x05Rossi") << QStringLiteral("Rossi");
        QTest::newRow("to be completed")
            << int(DocumentRecord::DaCompletare) << QStringLiteral("Sì") << QByteArray("\x02S\xEC")
            << QStringLiteral("Sì");
        QTest::newRow("completed") << int(DocumentRecord::DaCompletare) << QStringLiteral("No")
                                   << QByteArray("\x02No") << QStringLiteral("No");
        QTest::newRow("accents and euro")
            << int(DocumentRecord::Oggetto) << QStringLiteral("Perizia è già costata 1.500 €")
            << QByteArray("\x1DPerizia \xE8 gi\xE0 costata 1.500 \x80")
            << QStringLiteral("Perizia è già costata 1.500 €");
    }
    void storedBytes() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, loaded);
        DocumentRecord r;
        r.setText(DocumentRecord::Field(field), text);
        const int offset = DocumentRecord::layout().field(field).offset;
        QCOMPARE(r.bytes().mid(offset, bytes.size()), bytes);
        QCOMPARE(DocumentRecord(r.bytes()).text(DocumentRecord::Field(field)), loaded);
    }

    void toCompleteMarkAtOffset2482() {
        DocumentRecord yes;
        yes.setToComplete(true);
        QCOMPARE(yes.bytes().mid(2482, 3), QByteArray("\x02\x53\xEC"));
        DocumentRecord no;
        no.setToComplete(false);
        QCOMPARE(no.bytes().mid(2482, 3), QByteArray("\x02\x4E\x6F"));
    }

    void lengthByteAboveCapacityStaysInsideTheField() {
        DocumentRecord r;
        r.setText(DocumentRecord::DaCompletare, QStringLiteral("No"));
        r.setText(DocumentRecord::File01, QStringLiteral("XYZ"));
        QByteArray bytes = r.bytes();
        bytes[2482] = char(200); // a length byte no writer of ours makes
        const DocumentRecord damaged(bytes);
        QCOMPARE(damaged.text(DocumentRecord::DaCompletare), QStringLiteral("No"));
        QCOMPARE(damaged.text(DocumentRecord::File01), QStringLiteral("XYZ"));
    }

    void missingIndexIsCreatedEmpty() {
        QTemporaryDir dir;
        const RecordArchive archive = DocumentArchive::in(dir.path() + u'/');
        QVERIFY(archive.path().endsWith(QLatin1String("/Schedario_Documenti.pro")));
        QVERIFY(!QFile::exists(archive.path()));
        QCOMPARE(archive.count(), std::optional<int>(0));
        QCOMPARE(QFile(archive.path()).size(), 0);
    }

    void appendAndUpdateInPlace() {
        QTemporaryDir dir;
        const RecordArchive archive = DocumentArchive::in(dir.path() + u'/');
        for (int n = 1; n <= 3; ++n)
            QCOMPARE(archive.append(card(n)), std::optional<int>(n));
        QCOMPARE(QFile(archive.path()).size(), 11973);
        const QByteArray before = fileBytes(archive.path());

        DocumentRecord changed = card(2);
        changed.setText(DocumentRecord::Oggetto, QStringLiteral("Rinnovo"));
        QVERIFY(archive.update(2, changed));
        const QByteArray after = fileBytes(archive.path());
        QCOMPARE(after.size(), 11973);
        QCOMPARE(after.left(3991), before.left(3991));
        QCOMPARE(after.mid(3991, 3991), changed.bytes());
        QCOMPARE(after.mid(7982), before.mid(7982));

        QCOMPARE(archive.append(card(4)), std::optional<int>(4));
        QCOMPARE(QFile(archive.path()).size(), 15964);
        QCOMPARE(archive.read(4)->text(DocumentRecord::Documento),
                 QStringLiteral("Contratto di locazione 4"));
        QCOMPARE(DocumentRecord(archive.read(2)->bytes()).text(DocumentRecord::DaCompletare),
                 QStringLiteral("Sì"));
    }
};

QTEST_APPLESS_MAIN(TestDocumentRecord)
#include "tst_DocumentRecord.moc"
