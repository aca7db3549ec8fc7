#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"
#include "support/FullDisk.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

namespace {

using D = DocumentRecord;

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// A generator as the tests drive it: a whole file, or one card's bytes.
struct Generator {
    std::function<bool(quint32 seed, const QString& path, int count, QString* error)> write;
    std::function<QByteArray(quint32 seed, int index, int count)> card;
    int recordSize;
};

Generator generator(const QByteArray& name) {
    constexpr int kYear = 2026;
    if (name == "documents") {
        return {[](quint32 seed, const QString& path, int count, QString* error) {
                    return DocumentGenerator(seed, kYear).writeIndex(path, count, error);
                },
                [](quint32 seed, int index, int count) {
                    return DocumentGenerator(seed, kYear).card(index, count).bytes();
                },
                3991};
    }
    return {[](quint32 seed, const QString& path, int count, QString* error) {
                return ProtocolGenerator(seed, kYear).writeRegister(path, count, error);
            },
            [](quint32 seed, int index, int count) {
                return ProtocolGenerator(seed, kYear).card(index, count).bytes();
            },
            3403};
}

// The fields that a card filled to capacity fills.
constexpr D::Field kFilledFields[] = {
    D::Documento, D::Produttore, D::IndirizzoPro, D::Destinatario, D::IndirizzoDes,
    D::Oggetto,   D::Fascicolo,  D::Allegati,     D::Riferimenti,  D::Luogo,
    D::Soggetti,  D::Note,       D::Copia,        D::File01,       D::File02,
    D::File03,    D::Desc01,     D::Desc02,       D::Desc03,
};

} // namespace

// The generators of realistic cards that tests, benchmarks and screenshots use.
class TestGenerators : public QObject {
    Q_OBJECT
private slots:
    void sameSeedSameFile_data() {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("document index") << QByteArray("documents");
        QTest::newRow("protocol register") << QByteArray("protocol");
    }
    void sameSeedSameFile() {
        QFETCH(QByteArray, kind);
        const Generator g = generator(kind);
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a.pro"));
        const QString b = dir.filePath(QStringLiteral("b.pro"));
        const QString other = dir.filePath(QStringLiteral("other.pro"));
        constexpr int kCount = 240;
        QString error;
        QVERIFY2(g.write(11, a, kCount, &error), qPrintable(error));
        QVERIFY2(g.write(11, b, kCount, &error), qPrintable(error));
        QVERIFY2(g.write(12, other, kCount, &error), qPrintable(error));

        const QByteArray bytes = fileBytes(a);
        QCOMPARE(bytes.size(), qsizetype(kCount) * g.recordSize);
        QCOMPARE(fileBytes(b), bytes);
        // A card needs nothing but its own arguments: the file's cards, made one by one.
        for (int index : {0, 1, 9, 117, kCount - 1})
            QCOMPARE(g.card(11, index, kCount),
                     bytes.mid(qsizetype(index) * g.recordSize, g.recordSize));

        // Another seed gives other cards, nearly everywhere.
        const QByteArray otherBytes = fileBytes(other);
        int same = 0;
        for (int index = 0; index < kCount; ++index) {
            const qsizetype at = qsizetype(index) * g.recordSize;
            same += bytes.mid(at, g.recordSize) == otherBytes.mid(at, g.recordSize);
        }
        QVERIFY2(same <= kCount / 50, qPrintable(QString::number(same)));
    }

    void failedWriteKeepsThePreviousFile_data() { sameSeedSameFile_data(); }
    void failedWriteKeepsThePreviousFile() {
        QFETCH(QByteArray, kind);
        const Generator g = generator(kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("archivio.pro"));
        QString error;
        QVERIFY2(g.write(5, path, 3, &error), qPrintable(error));
        const QByteArray before = fileBytes(path);

        error.clear();
        QVERIFY(!g.write(5, dir.filePath(QStringLiteral("manca/archivio.pro")), 3, &error));
        QVERIFY(!error.isEmpty());
        error.clear();
        QVERIFY(!g.write(5, path, -1, &error));
        QVERIFY(!error.isEmpty());
        {
            // Room for a part of the new file only.
            const FileSizeLimit limit(g.recordSize * 2000);
            if (!limit.ok())
                QSKIP("This machine cannot limit the size of written files.");
            error.clear();
            QVERIFY(!g.write(6, path, 3000, &error));
        }
        QVERIFY(!error.isEmpty());
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList{QStringLiteral("archivio.pro")});
    }

    // What the generator means is what the card holds: every text is already trimmed, in
    // Windows-1252 and within its field, so the store rule neither trims nor cuts it.
    void textsAreStoredAsTheyAre_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("year");
        QTest::newRow("seed 1, 2026") << 1u << 2026;
        QTest::newRow("seed 2, 2025") << 2u << 2025;
        QTest::newRow("seed 4000000000, 2028 (leap year)") << 4000000000u << 2028;
    }
    void textsAreStoredAsTheyAre() {
        QFETCH(quint32, seed);
        QFETCH(int, year);
        const DocumentGenerator generator(seed, year);
        const RecordLayout& layout = D::layout();
        constexpr int kCount = 1500;
        for (int index = 0; index < kCount; ++index) {
            const DocumentGenerator::Texts texts = generator.texts(index, kCount);
            const DocumentRecord card = generator.card(index, kCount);
            for (int f = 0; f < D::FieldCount; ++f) {
                const QString& text = texts[std::size_t(f)];
                if (card.text(D::Field(f)) != text)
                    QFAIL(qPrintable(QStringLiteral("card %1, %2: \"%3\" is stored as \"%4\"")
                                         .arg(index)
                                         .arg(QLatin1String(layout.field(f).name), text,
                                              card.text(D::Field(f)))));
            }
            if (DocumentGenerator::isFullCard(index)) {
                for (D::Field f : kFilledFields)
                    QCOMPARE(texts[f].size(), qsizetype(layout.field(f).capacity));
            }
        }
    }

    // Every card could have been saved by the card window, and its dates and mark are
    // those the windows write.
    void cardsAreSavableAndWellFormed_data() { textsAreStoredAsTheyAre_data(); }
    void cardsAreSavableAndWellFormed() {
        QFETCH(quint32, seed);
        QFETCH(int, year);
        const DocumentGenerator generator(seed, year);
        const QRegularExpression shortDate(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d\\d\\d$"));
        constexpr int kCount = 2000;
        int marked = 0;
        int withEuro = 0;
        int withAccents = 0;
        int withReceipt = 0;
        int withProtocol = 0;
        int withCopy = 0;
        QSet<QString> kinds;
        for (int index = 0; index < kCount; ++index) {
            const DocumentRecord card = generator.card(index, kCount);
            const QString where = QStringLiteral("card %1").arg(index);
            QVERIFY2(!card.text(D::Documento).isEmpty(), qPrintable(where));
            QVERIFY2(!card.text(D::Produttore).isEmpty(), qPrintable(where));

            const QString producedText = card.text(D::DataPro);
            QVERIFY2(shortDate.match(producedText).hasMatch(), qPrintable(where));
            const QDate produced = QDate::fromString(producedText, QStringLiteral("dd/MM/yyyy"));
            QVERIFY2(produced.isValid() && produced.year() == year,
                     qPrintable(where + QStringLiteral(": ") + producedText));
            const QString receivedText = card.text(D::DataDes);
            if (!receivedText.isEmpty()) {
                ++withReceipt;
                QVERIFY2(shortDate.match(receivedText).hasMatch(), qPrintable(where));
                const QDate received =
                    QDate::fromString(receivedText, QStringLiteral("dd/MM/yyyy"));
                QVERIFY2(received.isValid() && received >= produced, qPrintable(where));
            }
            // Over the year with the index: the cards of the last tenth are of its end.
            if (index >= kCount * 9 / 10)
                QVERIFY2(produced.month() >= 10, qPrintable(where));

            const QByteArray mark = card.bytes().mid(2482, 3);
            QVERIFY2(mark == QByteArray("\x02\x53\xEC") || mark == QByteArray("\x02\x4E\x6F"),
                     qPrintable(where));
            marked += card.text(D::DaCompletare) == D::Yes;

            for (int f = 0; f < D::FieldCount; ++f) {
                const QString text = card.text(D::Field(f));
                withEuro += text.contains(QChar(0x20AC));
                withAccents += text.contains(
                    QRegularExpression(QStringLiteral("[\u00e0\u00e8\u00e9\u00ec\u00f2\u00f9]")));
            }
            withProtocol += !card.text(D::Protocollo).isEmpty();
            withCopy += !card.text(D::Copia).isEmpty();
            kinds.insert(card.text(D::Tipo));
        }
        // About one card in five is still to be completed.
        QVERIFY2(marked >= kCount * 15 / 100 && marked <= kCount * 25 / 100,
                 qPrintable(QString::number(marked)));
        // Realistic mixes: some of each, never all.
        for (int share : {withReceipt, withProtocol, withCopy})
            QVERIFY2(share > kCount / 10 && share < kCount * 9 / 10,
                     qPrintable(QString::number(share)));
        QVERIFY(withEuro > kCount / 10);
        QVERIFY(withAccents > kCount / 10);
        QVERIFY2(kinds.size() >= 15, qPrintable(QString::number(kinds.size())));
    }
};

QTEST_MAIN(TestGenerators)
#include "tst_Generators.moc"
