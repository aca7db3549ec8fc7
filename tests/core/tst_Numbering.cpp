#include "core/Numbering.h"

#include <QTest>

class TestNumbering : public QObject {
    Q_OBJECT
private slots:
    void normaliseStart_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("left");
        QTest::newRow("plain") << "50"
                               << "50";
        QTest::newRow("leading zeros") << "00050"
                                       << "50";
        QTest::newRow("007") << "007"
                             << "7";
        QTest::newRow("zero") << "0"
                              << "0";
        QTest::newRow("empty") << ""
                               << "1";
        QTest::newRow("blanks") << "   "
                                << "1";
        QTest::newRow("unreadable") << "12a"
                                    << "1";
        QTest::newRow("half rounds up") << "2,5"
                                        << "3";
        QTest::newRow("below half rounds down") << "2,49"
                                                << "2";
        QTest::newRow("surrounding blanks") << " 42 "
                                            << "42";
        QTest::newRow("not a number") << "inf"
                                      << "1";
    }
    void normaliseStart() {
        QFETCH(QString, typed);
        QFETCH(QString, left);
        QCOMPARE(Numbering::normaliseStart(typed), left);
    }

    void propose_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("year");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("number"); // "-": no proposal
        QTest::newRow("empty register, start 1, No") << "1"
                                                     << "No" << 0 << "1";
        QTest::newRow("16 cards, Sì") << "1" << QStringLiteral("Sì") << 16 << "17/2021";
        QTest::newRow("start 100, Sì") << "100" << QStringLiteral("Sì") << 16 << "116/2021";
        QTest::newRow("start 0") << "0"
                                 << "No" << 0 << "0";
        QTest::newRow("empty start counts as 1") << ""
                                                 << "" << 4 << "5";
        QTest::newRow("si lower case") << "1"
                                       << "si" << 16 << "17";
        QTest::newRow("SI") << "1"
                            << "SI" << 16 << "17";
        QTest::newRow("Si without accent") << "1"
                                           << "Si" << 16 << "17";
        QTest::newRow("Sì with blanks") << "1" << QStringLiteral(" Sì ") << 1 << "2/2021";
        QTest::newRow("hand-edited start") << "dieci"
                                           << "No" << 3 << "-";
        QTest::newRow("fractional start") << "1,5"
                                          << "No" << 3 << "-";
    }
    void propose() {
        QFETCH(QString, start);
        QFETCH(QString, year);
        QFETCH(int, count);
        QFETCH(QString, number);
        const auto proposed = Numbering::propose(start, year, count, QDate(2021, 6, 30));
        if (number == QLatin1String("-"))
            QVERIFY(!proposed);
        else
            QCOMPARE(proposed.value_or(QStringLiteral("<none>")), number);
    }
};

QTEST_APPLESS_MAIN(TestNumbering)
#include "tst_Numbering.moc"
