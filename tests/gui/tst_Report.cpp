#include <QTest>
// Placeholder: the report tests are being written.
class TestReport : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestReport)
#include "tst_Report.moc"
