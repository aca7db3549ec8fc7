#include "core/Browsing.h"

#include <QTest>

Q_DECLARE_METATYPE(BrowseCommand)
Q_DECLARE_METATYPE(BrowseStep::Kind)

class TestBrowsing : public QObject {
    Q_OBJECT
private slots:
    void decide_data() {
        QTest::addColumn<BrowseCommand>("command");
        QTest::addColumn<int>("current"); // 0: a new card, not in the archive
        QTest::addColumn<int>("count");
        QTest::addColumn<BrowseStep::Kind>("kind");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("clears");
        using C = BrowseCommand;
        using K = BrowseStep::Kind;
        QTest::newRow("first, new card") << C::First << 0 << 3 << K::Load << 1 << false;
        QTest::newRow("first from card 3") << C::First << 3 << 3 << K::Load << 1 << false;
        QTest::newRow("last from new card") << C::Last << 0 << 3 << K::Load << 3 << false;
        QTest::newRow("last from card 1") << C::Last << 1 << 3 << K::Load << 3 << false;
        QTest::newRow("next, new card") << C::Next << 0 << 3 << K::Load << 1 << false;
        QTest::newRow("next from 1") << C::Next << 1 << 3 << K::Load << 2 << false;
        QTest::newRow("next from 2") << C::Next << 2 << 3 << K::Load << 3 << false;
        QTest::newRow("next at the last") << C::Next << 3 << 3 << K::Nothing << 0 << false;
        QTest::newRow("previous, new card") << C::Previous << 0 << 3 << K::Load << 1 << false;
        QTest::newRow("previous from 3") << C::Previous << 3 << 3 << K::Load << 2 << false;
        QTest::newRow("previous from 2") << C::Previous << 2 << 3 << K::Load << 1 << false;
        QTest::newRow("previous at the first") << C::Previous << 1 << 3 << K::Nothing << 0 << false;
        QTest::newRow("first, empty") << C::First << 0 << 0 << K::EmptyArchive << 0 << false;
        QTest::newRow("last, empty") << C::Last << 0 << 0 << K::EmptyArchive << 0 << false;
        QTest::newRow("next, empty, clears") << C::Next << 2 << 0 << K::EmptyArchive << 0 << true;
        QTest::newRow("previous, empty") << C::Previous << 0 << 0 << K::EmptyArchive << 0 << false;
        QTest::newRow("previous at 1 of an emptied archive")
            << C::Previous << 1 << 0 << K::Nothing << 0 << false;
    }
    void decide() {
        QFETCH(BrowseCommand, command);
        QFETCH(int, current);
        QFETCH(int, count);
        QFETCH(BrowseStep::Kind, kind);
        QFETCH(int, position);
        QFETCH(bool, clears);
        const std::optional<int> shown = current ? std::optional<int>(current) : std::nullopt;
        const BrowseStep step = decideBrowse(command, shown, count);
        QCOMPARE(step.kind, kind);
        if (kind == BrowseStep::Load)
            QCOMPARE(step.position, position);
        QCOMPARE(step.clearsPosition, clears);
    }
};

QTEST_APPLESS_MAIN(TestBrowsing)
#include "tst_Browsing.moc"
