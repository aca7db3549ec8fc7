#include "core/ProtocolRecord.h"
#include "core/ShortDate.h"
#include "core/TextField.h"

#include <QTest>

class TestTextField : public QObject {
    Q_OBJECT
private slots:
    void storeRule_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("Roma between blanks")
            << QStringLiteral("  Roma  ") << 50 << QByteArray("Roma");
        QTest::newRow("controls trimmed, inner kept")
            << QStringLiteral("\t\r\nVia  Roma 1\n\x01") << 50 << QByteArray("Via  Roma 1");
        QTest::newRow("cut at 16")
            << QStringLiteral("12345678901234567890") << 16 << QByteArray("1234567890123456");
        QTest::newRow("cut at 250") << QString(300, u'x') << 250 << QByteArray(250, 'x');
        QTest::newRow("never above 255 bytes") << QString(300, u'y') << 300 << QByteArray(255, 'y');
        QTest::newRow("accented and euro")
            << QStringLiteral("Perché € più") << 50 << QByteArray("Perch\xE9 \x80 pi\xF9");
        QTest::newRow("greek") << QStringLiteral("Ωmega") << 50 << QByteArray("?mega");
        QTest::newRow("best fit, then cut") << QStringLiteral(" Łódź, ul. Piotrkowska ") << 8
                                            << QByteArray("L\xF3"
                                                          "dz, ul");
        QTest::newRow("only blanks") << QStringLiteral(" \t ") << 50 << QByteArray();
        QTest::newRow("cut after trimming")
            << QStringLiteral("   abcdef") << 3 << QByteArray("abc");
    }
    void storeRule() {
        QFETCH(QString, text);
        QFETCH(int, capacity);
        QFETCH(QByteArray, stored);
        QByteArray field(capacity + 1, '\x55');
        TextField::store(field.data(), capacity, text);
        QCOMPARE(static_cast<unsigned char>(field[0]), static_cast<unsigned char>(stored.size()));
        QCOMPARE(field.mid(1, stored.size()), stored);
        // The unused bytes are zeros, and nothing past the field was touched.
        QCOMPARE(field.mid(1 + stored.size()), QByteArray(capacity - stored.size(), '\0'));
    }

    void loadRule_data() {
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("length byte")
            << QByteArray("\x04RomaXXXX", 8) << 8 << QStringLiteral("Roma");
        QTest::newRow("trailing blanks written elsewhere")
            << QByteArray("\x06Roma  \0\0", 9) << 8 << QStringLiteral("Roma");
        QTest::newRow("accented") << QByteArray("\x03S\xEC!", 4) << 3 << QStringLiteral("Sì!");
        QTest::newRow("length above capacity is clamped") << QByteArray("\xFF"
                                                                        "abcdef",
                                                                        7)
                                                          << 6 << QStringLiteral("abcdef");
        QTest::newRow("length above the bytes there are") << QByteArray("\x09"
                                                                        "abc",
                                                                        4)
                                                          << 8 << QStringLiteral("abc");
        QTest::newRow("empty") << QByteArray("\x00zzzz", 5) << 4 << QString();
    }
    void loadRule() {
        QFETCH(QByteArray, field);
        QFETCH(int, capacity);
        QFETCH(QString, loaded);
        QCOMPARE(TextField::load(field, capacity), loaded);
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("accents") << QStringLiteral("àèéìòù ÀÈÉÌÒÙ ç");
        QTest::newRow("euro") << QStringLiteral("Fattura di € 1.250,00");
        QTest::newRow("quotes") << QStringLiteral("l'“oggetto” – nota…");
    }
    void roundTrip() {
        QFETCH(QString, text);
        ProtocolRecord record;
        record.setText(ProtocolRecord::Oggetto, text);
        QCOMPARE(ProtocolRecord(record.bytes()).text(ProtocolRecord::Oggetto), text);
    }

    void layoutMatchesTheRegisterFormat() {
        struct Expected {
            const char* name;
            int offset;
            int capacity;
        };
        // clang-format off
        const Expected expected[] = {
            {"Numero", 0, 16},          {"Tipologia", 17, 20},     {"DataReg", 38, 10},
            {"Ufficio", 49, 50},        {"Operatore", 100, 50},    {"Categoria", 151, 50},
            {"Collocazione", 202, 120}, {"Oggetto", 323, 250},     {"DataSpe", 574, 10},
            {"DataRic", 585, 10},       {"Formato", 596, 50},      {"Pagine", 647, 12},
            {"Riferimenti", 660, 250},  {"Note", 911, 250},        {"Mittente", 1162, 120},
            {"RecapitoMit", 1283, 120}, {"Destinatario", 1404, 120}, {"RecapitoDes", 1525, 120},
            {"Copia", 1646, 250},       {"File01", 1897, 250},     {"File02", 2148, 250},
            {"File03", 2399, 250},      {"Desc01", 2650, 250},     {"Desc02", 2901, 250},
            {"Desc03", 3152, 250},
        };
        // clang-format on
        const RecordLayout& layout = ProtocolRecord::layout();
        QCOMPARE(layout.fieldCount(), int(std::size(expected)));
        QCOMPARE(layout.fieldCount(), int(ProtocolRecord::FieldCount));
        for (int i = 0; i < layout.fieldCount(); ++i) {
            QCOMPARE(QLatin1String(layout.field(i).name), QLatin1String(expected[i].name));
            QCOMPARE(layout.field(i).offset, expected[i].offset);
            QCOMPARE(layout.field(i).capacity, expected[i].capacity);
        }
        QCOMPARE(layout.size(), 3403);
        QCOMPARE(ProtocolRecord().bytes().size(), 3403);
    }

    void storedCardBytes() {
        ProtocolRecord r;
        r.setText(ProtocolRecord::Numero, QStringLiteral("17/2021"));
        r.setText(ProtocolRecord::Tipologia, MailType::Uscita);
        r.setText(ProtocolRecord::DataReg, QStringLiteral("05/03/2021"));
        r.setText(ProtocolRecord::Ufficio, QStringLiteral("  Segreteria  "));
        r.setText(ProtocolRecord::Desc03, QStringLiteral("ultimo"));
        const QByteArray b = r.bytes();
        QCOMPARE(b.mid(0, 8), QByteArray("\x07"
                                         "17/2021"));
        QCOMPARE(b.mid(17, 21), QByteArray("\x09"
                                           "In uscita") +
                                    QByteArray(11, '\0'));
        QCOMPARE(b.mid(38, 11), QByteArray("\x0A"
                                           "05/03/2021"));
        QCOMPARE(b.mid(49, 11), QByteArray("\x0A"
                                           "Segreteria"));
        QCOMPARE(b.mid(3152, 7), QByteArray("\x06"
                                            "ultimo"));
        QCOMPARE(b.mid(100, 51), QByteArray(51, '\0')); // Operatore never set
    }

    void shortDate() {
        QCOMPARE(ShortDate::format(QDate(2021, 3, 5)), QStringLiteral("05/03/2021"));
        QCOMPARE(ShortDate::format(QDate(2026, 12, 31)), QStringLiteral("31/12/2026"));
    }
};

QTEST_APPLESS_MAIN(TestTextField)
#include "tst_TextField.moc"
