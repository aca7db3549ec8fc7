#include "core/Cp1252.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/Search.h"
#include "core/StrictDate.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"
#include "support/PlainSearch.h"

#include <QTest>
#include <cstring>
#include <utility>

using F = ProtocolRecord::Field;

namespace {

ProtocolRecord card(const QString& subject, const QString& sender = QString()) {
    ProtocolRecord r;
    r.setText(F::Numero, QStringLiteral("17/2021"));
    r.setText(F::DataReg, QStringLiteral("05/03/2021"));
    r.setText(F::Oggetto, subject);
    r.setText(F::Mittente, sender);
    return r;
}

using PlainSearch::kProtocolLine;

using D = DocumentRecord::Field;

using PlainSearch::kDocumentLine;

// Cards that the generators seldom make: accents, the euro sign and other characters whose
// bytes lie in 0x80-0x9F, lines equal but for the case of A-Z, runs of spaces, characters
// around the letters in code order.
QList<QByteArray> specialCards(bool documents) {
    const QStringList texts = {
        QStringLiteral("Fattura € 12,50 Forlì"),
        QStringLiteral("FATTURA € 12,50 FORLÌ"),
        QStringLiteral("fattura € 12,50 forlì"),
        QStringLiteral("“Œuvre” – due  spazi"),
        QStringLiteral("[parentesi] _sotto_ ~tilde~"),
        QStringLiteral("Perché è così"),
        QStringLiteral("PERCHÉ È COSÌ"),
        QStringLiteral("Èlite àncora"),
        QStringLiteral("àncora"),
        QStringLiteral("~tilde"),
        QStringLiteral("   "),
        QStringLiteral(""),
    };
    QList<QByteArray> cards;
    for (const QString& t : texts) {
        if (documents) {
            DocumentRecord r;
            for (D f : {D::Documento, D::Oggetto, D::Produttore, D::Destinatario, D::Note})
                r.setText(f, t);
            r.setText(D::Protocollo, QStringLiteral("12/2026"));
            r.setText(D::DataPro, QStringLiteral("05/03/2026"));
            cards.append(r.bytes());
        } else {
            ProtocolRecord r;
            for (F f : {F::Oggetto, F::Mittente, F::Destinatario, F::Note})
                r.setText(f, t);
            r.setText(F::Numero, QStringLiteral("12/2026"));
            r.setText(F::DataReg, QStringLiteral("05/03/2026"));
            cards.append(r.bytes());
        }
    }
    return cards;
}

// Generated cards (full ones among them) with the special ones spread between them.
QList<QByteArray> cards(bool documents) {
    constexpr int kGenerated = 400;
    QList<QByteArray> out;
    const QList<QByteArray> special = specialCards(documents);
    for (int i = 0; i < kGenerated; ++i) {
        out.append(documents ? DocumentGenerator(11, 2026).card(i, kGenerated).bytes()
                             : ProtocolGenerator(11, 2026).card(i, kGenerated).bytes());
        if (i % 40 == 0)
            out.append(special[(i / 40) % special.size()]);
    }
    out.append(special);
    out.append(special); // every special card twice: equal lines keep the file order
    return out;
}

// Characters at the bounds of A-Z and a-z and beside them; the same with the top bit set
// (their low seven bits are those of @ A Z [ ` a z {: none of them is folded); and the last
// letters of the code page, ÿ (0xFF) and Ÿ (0x9F).
const QString kBoundChars = QStringLiteral("@AZ[`az{ÀÁÚÛàáúûÿŸ");

// `length` characters that no key of these tests finds, with `c` at `at`.
QString holdingAt(QChar c, int at, int length = 13) {
    QString text = QStringLiteral("0123456789+-=").left(length);
    text[at] = c;
    return text;
}

// The same with `c` between "<" and ">", for keys that the lines' captions cannot hold.
QString bracketedAt(QChar c, int at, int length = 11) {
    QString text = holdingAt(c, at, length);
    text[at - 1] = u'<';
    text[at + 1] = u'>';
    return text;
}

const RecordLayout& layoutOf(bool documents) {
    return documents ? DocumentRecord::layout() : ProtocolRecord::layout();
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void filters_data() {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("subjectFilter");
        QTest::addColumn<QString>("senderFilter");
        QTest::addColumn<bool>("listed");
        QTest::newRow("all blank lists every card") << "Fattura"
                                                    << ""
                                                    << "" << true;
        QTest::newRow("capital A-Z finds small") << "fattura di marzo"
                                                 << "FATTURA"
                                                 << "" << true;
        QTest::newRow("small finds capital") << "FATTURA DI MARZO"
                                             << "fattura"
                                             << "" << true;
        QTest::newRow("accented capital does not find small")
            << "perché" << QStringLiteral("PERCHÉ") << "" << false;
        QTest::newRow("a leading space is required") << "Fattura di marzo"
                                                     << " fattura"
                                                     << "" << false;
        QTest::newRow("a leading space inside the field") << "la fattura"
                                                          << " fattura"
                                                          << "" << true;
        QTest::newRow("every non-blank filter must match") << "Fattura"
                                                           << "fattura"
                                                           << "rossi" << false;
        QTest::newRow("spaces only are not required") << "Fattura"
                                                      << "fatt"
                                                      << "   " << true;
        QTest::newRow("contiguous words") << "Richiesta di preventivo"
                                          << "di prev"
                                          << "" << true;
        QTest::newRow("words apart do not match") << "Richiesta di preventivo"
                                                  << "richiesta preventivo"
                                                  << "" << false;
    }
    void filters() {
        QFETCH(QString, subject);
        QFETCH(QString, subjectFilter);
        QFETCH(QString, senderFilter);
        QFETCH(bool, listed);
        const QList<Search::Filter> filters = {{F::Oggetto, subjectFilter},
                                               {F::Mittente, senderFilter}};
        QCOMPARE(Search::isListed(card(subject, QStringLiteral("Mario Bianchi")), filters,
                                  Search::requiredCount(filters)),
                 listed);
    }

    void spacesOnlyMatchARunOfSpaces() {
        // Not required, but a match where the field holds the run: it can make up for
        // another filter that fails.
        const QList<Search::Filter> filters = {{F::Oggetto, QStringLiteral("  ")},
                                               {F::Mittente, QStringLiteral("nessuno")},
                                               {F::Numero, QStringLiteral("17")}};
        QCOMPARE(Search::requiredCount(filters), 2);
        QVERIFY(Search::isListed(card(QStringLiteral("due  spazi")), filters, 2));
        QVERIFY(!Search::isListed(card(QStringLiteral("uno spazio")), filters, 2));
    }

    void resultLine() {
        ProtocolRecord r;
        r.setText(F::Numero, QStringLiteral("1234567890123456")); // 16: cut to 14
        r.setText(F::DataReg, QStringLiteral("05/03/2021"));
        r.setText(F::Tipologia, MailType::Entrata);
        r.setText(F::Oggetto, QString(40, u'o')); // cut to 35
        r.setText(F::Destinatario, QStringLiteral("Comune di Forlì"));
        const QString line = Search::resultLine(r, kProtocolLine);
        const QString expected =
            QStringLiteral("Prot. n. 12345678901234  Data: 05/03/2021  Posta: In entrata  ") +
            QString(35, u'o') + QStringLiteral("  Da: ") + QString(24, u' ') +
            QStringLiteral("  A: Comune di Forlì");
        QCOMPARE(line, expected);
        QCOMPARE(line.indexOf(QStringLiteral("Comune")), 132); // column 133
    }

    void listOrder_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("text order of numbers") << "Prot. n. 10"
                                               << "Prot. n. 9";
        QTest::newRow("prefix first") << "Prot. n. 1"
                                      << "Prot. n. 1 ";
        QTest::newRow("a-z folded") << "abc"
                                    << "ABD";
        QTest::newRow("folded letters before brackets") << "a"
                                                        << "["; // A 0x41 < [ 0x5B
        QTest::newRow("underscore after folded letters") << "z"
                                                         << "_"; // 'Z' 0x5A < '_' 0x5F
        QTest::newRow("accented after plain") << "e" << QStringLiteral("è");
    }
    void listOrder() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QVERIFY(Search::listsBefore(first, second));
        QVERIFY(!Search::listsBefore(second, first));
        QStringList lines{second, first};
        Search::sortForList(lines);
        QCOMPARE(lines, QStringList({first, second}));
    }

    void findInList() {
        const QStringList lines = {QStringLiteral("alfa ROSSI"), QStringLiteral("beta"),
                                   QStringLiteral("gamma rossi"), QStringLiteral("delta Rossi")};
        Search::ListFinder finder;
        QCOMPARE(finder.find(lines, -1, QStringLiteral("rossi")), 0);
        QCOMPARE(finder.find(lines, 0, QStringLiteral("rossi")), 2); // same key: moves on
        QCOMPARE(finder.find(lines, 2, QStringLiteral("rossi")), 3);
        QCOMPARE(finder.find(lines, 3, QStringLiteral("rossi")), 0); // wraps round
        QCOMPARE(finder.find(lines, 0, QStringLiteral("GAMMA")), 2); // new key: from the top
        QCOMPARE(finder.find(lines, 2, QStringLiteral("GAMMA")), 2); // only line: back to itself
        QCOMPARE(finder.find(lines, 1, QStringLiteral("zeta")), 1);  // nothing: selection stays
        QCOMPARE(finder.find(lines, 3, QStringLiteral("beta")), 1);
        QCOMPARE(finder.find(lines, 1, QString()), 1); // an empty key finds nothing
        finder.reset();
        QCOMPARE(finder.find(lines, 3, QStringLiteral("rossi")), 0); // after reset, a new key
        QCOMPARE(finder.find(QStringList(), 0, QStringLiteral("x")), 0);
    }

    // A new key looks at every line, the last one included, wherever the selection is.
    void newKeyLooksAtEveryLine_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("found");
        QTest::newRow("last line, nothing selected") << -1 << "delta" << 3;
        QTest::newRow("last line, first selected") << 0 << "delta" << 3;
        QTest::newRow("last line, itself selected") << 3 << "delta" << 3;
        QTest::newRow("last line, the one before selected") << 2 << "DELTA" << 3;
        QTest::newRow("first line, last selected") << 3 << "alfa" << 0;
        QTest::newRow("nowhere: the selection stays") << 2 << "zeta" << 2;
    }
    void newKeyLooksAtEveryLine() {
        QFETCH(int, selected);
        QFETCH(QString, key);
        QFETCH(int, found);
        const QStringList lines = {QStringLiteral("alfa"), QStringLiteral("beta"),
                                   QStringLiteral("gamma"), QStringLiteral("delta")};
        Search::ListFinder finder;
        QCOMPARE(finder.find(lines, selected, key), found);
    }

    // The same key again looks at the line after the selection first and at the selection
    // last, going round from the last line to the first.
    void sameKeyGoesRound_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("found");
        QTest::newRow("next line") << 0 << "rossi" << 2;
        QTest::newRow("round to the first") << 2 << "rossi" << 0;
        QTest::newRow("from the last line") << 3 << "rossi" << 0;
        QTest::newRow("the line before the selection") << 2 << "beta" << 1;
        QTest::newRow("only the selection holds it") << 3 << "delta" << 3;
    }
    void sameKeyGoesRound() {
        QFETCH(int, selected);
        QFETCH(QString, key);
        QFETCH(int, found);
        const QStringList lines = {QStringLiteral("ROSSI alfa"), QStringLiteral("beta"),
                                   QStringLiteral("rossi"), QStringLiteral("delta")};
        Search::ListFinder finder;
        finder.find(lines, -1, key);
        QCOMPARE(finder.find(lines, selected, key), found);
    }

    // The search on the records' bytes gives what the rule gives on their texts: the same
    // cards listed, the same lines in the same order, the same line found by "Trova".
    void bytePathAsThePlainRule_data() {
        QTest::addColumn<bool>("documents");
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QStringList>("texts");
        const QList<int> protocol = {F::Oggetto, F::Mittente, F::Note};
        const QList<int> document = {D::Oggetto, D::Produttore, D::Note};
        for (const bool documents : {false, true}) {
            const QList<int>& fields = documents ? document : protocol;
            const char* archive = documents ? "documents: " : "protocol: ";
            auto row = [&](const char* name, const QStringList& texts) {
                QTest::newRow((QByteArray(archive) + name).constData())
                    << documents << fields << texts;
            };
            row("all blank", {"", "", ""});
            row("one filter", {"fattura", "", ""});
            row("one filter, capitals", {"", "ROSSI", ""});
            row("several filters", {"di", "a", "e"});
            row("accent", {QStringLiteral("forlì"), "", ""});
            row("capital accent finds no small one", {QStringLiteral("FORLÌ"), "", ""});
            row("euro sign", {QStringLiteral("€ 12"), "", ""});
            row("quotes and dash of 0x80-0x9F", {QStringLiteral("“œuvre” –"), "", ""});
            row("outside the code page", {QStringLiteral("forłì"), "", ""});
            row("outside the code page, with another",
                {QStringLiteral("ł"), QStringLiteral("a"), ""});
            row("spaces only", {"  ", "", ""});
            row("spaces only beside another", {"  ", "fattura", ""});
            row("leading space", {" fattura", "", ""});
        }
    }
    void bytePathAsThePlainRule() {
        QFETCH(bool, documents);
        QFETCH(QList<int>, fields);
        QFETCH(QStringList, texts);
        const RecordLayout& layout =
            documents ? DocumentRecord::layout() : ProtocolRecord::layout();
        const QList<Search::LinePiece>& line = documents ? kDocumentLine : kProtocolLine;
        QList<Search::Filter> filters;
        for (int i = 0; i < fields.size(); ++i)
            filters.append({fields[i], texts[i]});
        const int required = Search::requiredCount(filters);
        const Search::Matcher matcher(layout, filters);
        QCOMPARE(matcher.required(), required);

        QStringList plain;
        Search::LineList fast(layout, line);
        const QList<QByteArray> all = cards(documents);
        fast.reserve(all.size());
        for (const QByteArray& bytes : all) {
            const Record record(layout, bytes);
            const bool listed = Search::isListed(record, filters, required);
            QCOMPARE(listed, PlainSearch::isListed(record, filters));
            QCOMPARE(matcher.isListed(bytes), listed);
            QCOMPARE(Search::resultLine(record, line), PlainSearch::resultLine(record, line));
            if (listed)
                plain.append(PlainSearch::resultLine(record, line));
            if (matcher.isListed(bytes))
                fast.add(bytes);
        }
        plain = PlainSearch::sorted(plain);
        fast.sort();
        QCOMPARE(fast.texts(), plain);
        for (qsizetype i = 0; i < fast.size(); ++i)
            QCOMPARE(fast.bytes(i), QByteArrayView(Cp1252::encode(plain[i])));

        for (const QString& key :
             {QStringLiteral("FATTURA"), QStringLiteral("€"), QStringLiteral("ì"),
              QStringLiteral("ł"), QStringLiteral("  ")}) {
            Search::ListFinder onText, onBytes;
            int a = -1;
            int b = -1;
            for (int press = 0; press < 4; ++press) {
                a = onText.find(plain, a, key);
                b = onBytes.find(fast, b, key);
                QCOMPARE(b, a);
            }
        }
    }

    // "Trova" in lines of several registers, each line after its year: on the bytes as on
    // the texts, a key in the year, across the year and the line, in the line, or nowhere.
    void findInBlocksAsThePlainRule_data() {
        QTest::addColumn<QString>("key");
        for (const char* key : {"2025", "5  prot", "  PROT. N. 1", "fattura", "z", "  ", "2023"})
            QTest::newRow(key) << QString::fromLatin1(key);
        QTest::newRow("euro sign") << QStringLiteral("€");
        QTest::newRow("outside the code page") << QStringLiteral("ł");
        QTest::newRow("empty") << QString();
    }
    void findInBlocksAsThePlainRule() {
        QFETCH(QString, key);
        for (const bool documents : {false, true}) {
            const QList<Search::LinePiece>& line = documents ? kDocumentLine : kProtocolLine;
            const QList<QByteArray> all = cards(documents);
            // Three years, the middle one without a card.
            const char* years[] = {"2026  ", "2025  ", "2024  ", "2023  "};
            std::vector<Search::LineList> lists;
            QStringList texts;
            for (int y = 0; y < 4; ++y) {
                lists.emplace_back(layoutOf(documents), line);
                if (y == 2)
                    continue;
                for (qsizetype i = y; i < all.size(); i += 4)
                    lists.back().add(all[i]);
                lists.back().sort();
                for (const QString& text : lists.back().texts())
                    texts << QLatin1String(years[y]) + text;
            }
            std::vector<Search::ListFinder::Block> blocks;
            for (int y = 0; y < 4; ++y)
                blocks.push_back({years[y], &lists[std::size_t(y)]});
            Search::ListFinder onText, onBytes;
            int a = -1;
            int b = -1;
            for (int press = 0; press < 5; ++press) {
                a = onText.find(texts, a, key);
                b = onBytes.find(blocks, b, key);
                QCOMPARE(b, a);
            }
        }
    }

    // The folding of A-Z at its bounds, against the plain rule: each key against a field of
    // 13 bytes holding each character at its start and at its end, that is in the bytes
    // folded eight at a time (0 to 7) and in those folded one by one (8 to 12).
    void foldingBoundsInFilters_data() {
        QTest::addColumn<QString>("key");
        for (const QChar k : kBoundChars)
            QTest::addRow("%s", qPrintable(QString(k))) << QString(k);
        for (const char* k : {"zz", "ZZ", "zZ", "Zz", "z0", "9Z"})
            QTest::addRow("%s", k) << QString::fromLatin1(k);
    }
    void foldingBoundsInFilters() {
        QFETCH(QString, key);
        QStringList fields = {QStringLiteral("Zz34567890zZ="), QStringLiteral("zZ34567890Zz="),
                              QStringLiteral("0123456789Zzz"), QStringLiteral("ZZZZZZZZZZZZZ")};
        for (const QChar c : kBoundChars) {
            for (const int at : {0, 7, 8, 12})
                fields.append(holdingAt(c, at));
        }
        for (const bool documents : {false, true}) {
            const int field = documents ? int(D::Oggetto) : int(F::Oggetto);
            const QList<Search::Filter> filters = {{field, key}};
            const Search::Matcher matcher(layoutOf(documents), filters);
            for (const QString& text : fields) {
                Record record(layoutOf(documents));
                record.setText(field, text);
                const bool listed = PlainSearch::isListed(record, filters);
                const QByteArray what = (documents ? "documents, " : "protocol, ") + text.toUtf8() +
                                        (listed ? " listed" : " not listed");
                QVERIFY2(matcher.isListed(record.bytes()) == listed, what.constData());
                QVERIFY2(Search::isListed(record, filters, Search::requiredCount(filters)) ==
                             listed,
                         what.constData());
            }
        }
    }

    // The same in the lines of the list: each character near the start of the line (in its
    // first field) and in the bytes after the last eight (in its last field), "Trova" pressed
    // again and again with a key, on the lines' bytes and on their texts.
    void foldingBoundsInFind_data() {
        QTest::addColumn<QString>("key");
        for (const QChar k : kBoundChars)
            QTest::addRow("%s", qPrintable(QString(k))) << QStringLiteral("<%1>").arg(k);
    }
    void foldingBoundsInFind() {
        QFETCH(QString, key);
        for (const bool documents : {false, true}) {
            const QList<Search::LinePiece>& pieces = documents ? kDocumentLine : kProtocolLine;
            const int first = pieces.first().field;
            const int last = pieces.last().field;
            Search::LineList fast(layoutOf(documents), pieces);
            for (const QChar c : kBoundChars) {
                // Lines of 143 and 151 characters: the last 7 are folded one by one.
                const std::pair<int, int> places[] = {{first, 1}, {first, 7}, {last, 9}};
                for (const auto& [field, at] : places) {
                    Record record(layoutOf(documents));
                    record.setText(first, holdingAt(u'0', 0, 11));
                    record.setText(last, holdingAt(u'0', 0, 11));
                    record.setText(field, bracketedAt(c, at));
                    fast.add(record.bytes());
                }
            }
            fast.sort();
            const QStringList lines = fast.texts();
            QCOMPARE(lines.first().size() % 8, 7);
            const QList<int> holding = PlainSearch::holding(lines, key);
            Search::ListFinder onBytes;
            Search::ListFinder onText;
            int a = 0;
            int b = 0;
            for (int press = 0; press <= holding.size(); ++press) {
                a = onBytes.find(fast, a, key);
                b = onText.find(lines, b, key);
                const int expected = holding.isEmpty() ? 0 : holding[press % holding.size()];
                QCOMPARE(a, expected);
                QCOMPARE(b, expected);
            }
        }
    }

    // Two cards whose lines first differ at one place, at every place a field fills, the one
    // listed later stored first: sorted, as the plain rule orders them; lines that compare
    // equal keep the file order.
    void listOrderAtEveryPlace_data() {
        QTest::addColumn<QString>("first"); // empty: the field ends there
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("equal");
        const struct {
            const char* first;
            const char* second;
            bool equal;
        } rows[] = {
            {"a", "B", false}, {"A", "b", false}, {"y", "Z", false}, {"Y", "z", false},
            {"@", "A", false}, {"@", "a", false}, {"z", "[", false}, {"Z", "[", false},
            {"a", "`", false}, {"z", "_", false}, {"z", "{", false}, {"~", "€", false},
            {"ÿ", "€", false}, {"ÿ", "Ÿ", false}, {"Ú", "ú", false}, {"Z", "Ú", false},
            {"", "!", false},  {"a", "A", true},  {"Z", "z", true},  {"ÿ", "ÿ", true},
        };
        for (const auto& row : rows)
            QTest::addRow("%s %s %s", *row.first ? row.first : "end",
                          row.equal ? "equals" : "before", row.second)
                << QString::fromUtf8(row.first) << QString::fromUtf8(row.second) << row.equal;
    }
    void listOrderAtEveryPlace() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, equal);
        const QString filler = QStringLiteral("SENTENZAsentenzaSENTENZAsentenzaSENTENZA");
        for (const bool documents : {false, true}) {
            const RecordLayout& layout = layoutOf(documents);
            const QList<Search::LinePiece>& pieces = documents ? kDocumentLine : kProtocolLine;
            Record base(layout);
            for (const Search::LinePiece& p : pieces)
                base.setText(p.field, filler.left(p.width > 0 ? p.width : 12));
            qsizetype place = 0; // in the line
            for (const Search::LinePiece& p : pieces) {
                place += qsizetype(std::strlen(p.label));
                const QString text = base.text(p.field);
                for (qsizetype at = 0; at < text.size(); ++at, ++place) {
                    Record one = base;
                    Record two = base;
                    one.setText(p.field, first.isEmpty()
                                             ? text.left(at)
                                             : text.left(at) + first + text.mid(at + 1));
                    two.setText(p.field, text.left(at) + second + text.mid(at + 1));
                    const QString lineOne = PlainSearch::resultLine(one, pieces);
                    const QString lineTwo = PlainSearch::resultLine(two, pieces);
                    const QStringList expected =
                        equal ? QStringList{lineTwo, lineOne} : QStringList{lineOne, lineTwo};
                    const QByteArray what = QByteArray(documents ? "documents" : "protocol") +
                                            ", place " + QByteArray::number(place);
                    // The rows say what the rule says.
                    QVERIFY2(PlainSearch::sorted({lineTwo, lineOne}) == expected, what.constData());

                    Search::LineList fast(layout, pieces);
                    fast.add(two.bytes());
                    fast.add(one.bytes());
                    fast.sort();
                    QVERIFY2(fast.texts() == expected, what.constData());
                    QStringList lines = {lineTwo, lineOne};
                    Search::sortForList(lines);
                    QVERIFY2(lines == expected, what.constData());
                }
            }
        }
    }

    // Many lines in groups far larger than a few, sharing long starts or equal: in list
    // order as the plain rule sorts them, equal lines (equal but for the case of A-Z, say) in
    // file order, also when more lines come after a sort. Each text fills every field of
    // the line.
    void listOrderOfManyLines_data() {
        QTest::addColumn<QStringList>("texts");
        // A-Z and a-z swapped where the bits of `pattern` say.
        const auto cased = [](QString text, quint32 pattern) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const QChar c = text[i];
                if ((pattern >> (i % 32)) & 1u && c.unicode() < 0x80 && c.isLetter())
                    text[i] = c.isUpper() ? c.toLower() : c.toUpper();
            }
            return text;
        };
        const QString deed =
            QStringLiteral("Delibera della giunta n. 12 del 5 marzo, Forlì, allegati A e B");
        QStringList empty, equal, onePlace, starts, few;
        for (quint32 i = 0; i < 300; ++i) {
            empty << (i % 3 == 0 ? QStringLiteral("   ") : QString());
            equal << cased(QStringLiteral("Fattura di marzo Forlì"), i * 2654435761u);
            QString changed = deed;
            changed[(i * 7) % deed.size()] = QStringLiteral("aZ€ÿŸ ~")[i % 7];
            onePlace << cased(changed, i * 40503u);
            starts << cased(deed.left((i * 13) % deed.size()), i * 40503u);
            few << cased(i == 100   ? QStringLiteral("Zeta")
                         : i == 150 ? QStringLiteral("alfa")
                         : i == 299 ? QString()
                                    : QStringLiteral("Verbale di consegna"),
                         i * 2654435761u);
        }
        QTest::newRow("empty cards") << empty;
        QTest::newRow("equal but for the case") << equal;
        QTest::newRow("one place differs, anywhere") << onePlace;
        QTest::newRow("starts of one another") << starts;
        QTest::newRow("a few among many equal") << few;
    }
    void listOrderOfManyLines() {
        QFETCH(QStringList, texts);
        for (const bool documents : {false, true}) {
            const RecordLayout& layout = layoutOf(documents);
            const QList<Search::LinePiece>& pieces = documents ? kDocumentLine : kProtocolLine;
            Search::LineList fast(layout, pieces);
            QStringList plain;
            for (qsizetype i = 0; i < texts.size(); ++i) {
                Record record(layout);
                for (const Search::LinePiece& p : pieces)
                    record.setText(p.field, texts[i]);
                fast.add(record.bytes());
                plain << PlainSearch::resultLine(record, pieces);
                // Sorted when half are in, and again at the end.
                if (i == texts.size() / 2) {
                    fast.sort();
                    QCOMPARE(fast.texts(), PlainSearch::sorted(plain));
                }
            }
            fast.sort();
            QCOMPARE(fast.texts(), PlainSearch::sorted(plain));
        }
    }

    // The test of a trimmed field reading exactly a text, on the bytes.
    void fieldIs_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Sì") << QStringLiteral("Sì") << true;
        QTest::newRow("No") << "No" << false;
        QTest::newRow("small sì") << QStringLiteral("sì") << false;
        QTest::newRow("empty") << "" << false;
    }
    void fieldIs() {
        QFETCH(QString, stored);
        QFETCH(bool, yes);
        DocumentRecord r;
        r.setText(D::DaCompletare, stored);
        const Search::CardTest test =
            Search::fieldIs(DocumentRecord::layout(), D::DaCompletare, DocumentRecord::Yes);
        QCOMPARE(test(r.bytes()), yes);
        QCOMPARE(r.text(D::DaCompletare) == DocumentRecord::Yes, yes);
    }

    void strictDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("plain") << "05/03/2021" << QDate(2021, 3, 5);
        QTest::newRow("blanks around") << "  05/03/2021 " << QDate(2021, 3, 5);
        QTest::newRow("leap day") << "29/02/2024" << QDate(2024, 2, 29);
        QTest::newRow("no leap day") << "29/02/2023" << QDate();
        QTest::newRow("31 February") << "31/02/2021" << QDate();
        QTest::newRow("month 13") << "01/13/2021" << QDate();
        QTest::newRow("short day") << "5/03/2021" << QDate();
        QTest::newRow("two-digit year") << "05/03/21" << QDate();
        QTest::newRow("other separator") << "05-03-2021" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("letters") << "aa/bb/cccc" << QDate();
    }
    void strictDates() {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(readStrictDate(text).value_or(QDate()), date);
    }
};

QTEST_APPLESS_MAIN(TestSearch)
#include "tst_Search.moc"
