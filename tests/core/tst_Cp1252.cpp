#include "core/Cp1252.h"

#include <QTest>

class TestCp1252 : public QObject {
    Q_OBJECT
private slots:
    void everyByteRoundTrips() {
        QByteArray all(256, '\0');
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<char>(i);
        const QString text = Cp1252::decode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(Cp1252::encode(text), all);
    }

    void characters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("Roma 12") << QByteArray("Roma 12");
        QTest::newRow("italian accents")
            << QStringLiteral("àèéìòù ÀÈÉÌÒÙ")
            << QByteArray("\xE0\xE8\xE9\xEC\xF2\xF9 \xC0\xC8\xC9\xCC\xD2\xD9");
        QTest::newRow("euro") << QStringLiteral("€ 1.250,00") << QByteArray("\x80 1.250,00");
        QTest::newRow("typographic")
            << QStringLiteral("‘’“”–—…") << QByteArray("\x91\x92\x93\x94\x96\x97\x85");
        QTest::newRow("Sì") << QStringLiteral("Sì") << QByteArray("S\xEC");
    }
    void characters() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1252::encode(text), bytes);
        QCOMPARE(Cp1252::decode(bytes), text);
    }

    void outsideThePageBecomesQuestionMark_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("greek") << QStringLiteral("αβ") << QByteArray("??");
        QTest::newRow("cyrillic") << QStringLiteral("Дом") << QByteArray("???");
        QTest::newRow("beyond the basic plane is one character")
            << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
        // Their accented letters have no plain letter of the page to stand for them.
        QTest::newRow("greek with accent") << QStringLiteral("άέ") << QByteArray("??");
        QTest::newRow("cyrillic with breve and diaeresis")
            << QStringLiteral("Йёж") << QByteArray("???");
        QTest::newRow("signs are not letters")
            << QStringLiteral("a ≠ b ≤ c ∑") << QByteArray("a ? b ? c ?");
        QTest::newRow("ligature") << QStringLiteral("ﬁne") << QByteArray("?ne");
    }

    void bestFitLetters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("polish") << QStringLiteral("Zażółć gęślą jaźń")
                                << QByteArray("Zaz\xF3lc gesla jazn");
        QTest::newRow("czech") << QStringLiteral("Dvořák, Čapek, Ůžas")
                               << QByteArray("Dvor\xE1k, Capek, U\x9E"
                                             "as");
        QTest::newRow("hungarian")
            << QStringLiteral("Erdős Győző, Űrhajó") << QByteArray("Erdos Gyozo, Urhaj\xF3");
        QTest::newRow("turkish") << QStringLiteral("Şişli, İzmir, Iğdır")
                                 << QByteArray("Sisli, Izmir, Igdir");
        QTest::newRow("croatian") << QStringLiteral("Đurđević, Šibenik")
                                  << QByteArray("Durdevic, \x8Aibenik");
        QTest::newRow("romanian") << QStringLiteral("Timișoara, Țară, Brașov")
                                  << QByteArray("Timisoara, Tara, Brasov");
        QTest::newRow("maltese") << QStringLiteral("Ħal Għaxaq, ħobż")
                                 << QByteArray("Hal Ghaxaq, hobz");
        QTest::newRow("catalan") << QStringLiteral("Ŀ col·legi, paŀlidesa")
                                 << QByteArray("L col\xB7legi, pallidesa");
        QTest::newRow("sami") << QStringLiteral("Ŧ ŧ") << QByteArray("T t");
        QTest::newRow("lithuanian and latvian")
            << QStringLiteral("Ąsotė, Ēriks, Ļaudona") << QByteArray("Asote, Eriks, Laudona");
        QTest::newRow("base letter that decomposes again")
            << QStringLiteral("Việt Nam") << QByteArray("Viet Nam");
        QTest::newRow("sign that is a letter of the page")
            << QStringLiteral("Å") << QByteArray("\xC5");
    }
    void bestFitLetters() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1252::encode(text), bytes);
    }
    void outsideThePageBecomesQuestionMark() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp1252::encode(text), bytes);
    }
};

QTEST_APPLESS_MAIN(TestCp1252)
#include "tst_Cp1252.moc"
