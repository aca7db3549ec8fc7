#include "core/AttachmentFolder.h"
#include "support/StoredNames.h"

#include <QTest>

// The name a chosen file gets in the attachments folder, which both archives and Windows and
// Linux computers share.
class TestAttachmentFolder : public QObject {
    Q_OBJECT
private slots:
    void storedName_data() {
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("stored");
        for (const StoredNameCase& c : storedNameCases())
            QTest::newRow(c.row) << c.original << c.stored;
    }
    void storedName() {
        QFETCH(QString, original);
        QFETCH(QString, stored);
        const QString name = AttachmentFolder::storedName(original);
        QCOMPARE(name, stored);
        QCOMPARE(whyNotStorable(name), QString());
        QCOMPARE(AttachmentFolder::storedName(name), name);
    }

    // Names that the changes alone would make one: each keeps its own.
    void differentOriginalsKeepDifferentNames_data() {
        QTest::addColumn<QStringList>("originals");
        const QString longStem = QString(300, u'x');
        QTest::newRow("Cyrillic of one length")
            << QStringList{QStringLiteral("Договор.pdf"), QStringLiteral("Справка.pdf"),
                           QStringLiteral("Д.pdf"), QStringLiteral("Ж.pdf")};
        QTest::newRow("ends") << QStringList{QStringLiteral("fine"), QStringLiteral("fine."),
                                             QStringLiteral("fine "), QStringLiteral("fine.."),
                                             QStringLiteral(" fine")};
        QTest::newRow("replaced characters") << QStringList{
            QStringLiteral("a:b.pdf"), QStringLiteral("a?b.pdf"), QStringLiteral("a*b.pdf"),
            QStringLiteral("a::b.pdf"), QStringLiteral("a_b.pdf")};
        QTest::newRow("best fit or the letter itself") << QStringList{
            QStringLiteral("Łódź.pdf"), QStringLiteral("Lódz.pdf"), QStringLiteral("Łodź.pdf")};
        QTest::newRow("cut where they still agree")
            << QStringList{longStem + QStringLiteral("1.pdf"), longStem + QStringLiteral("2.pdf"),
                           longStem + QStringLiteral(".pdf")};
        QTest::newRow("devices") << QStringList{QStringLiteral("CON"), QStringLiteral("con"),
                                                QStringLiteral("CON.txt"), QStringLiteral("CON_")};
    }
    void differentOriginalsKeepDifferentNames() {
        QFETCH(QStringList, originals);
        QStringList names;
        for (const QString& original : originals) {
            const QString name = AttachmentFolder::storedName(original);
            QVERIFY2(whyNotStorable(name).isEmpty(), qPrintable(original));
            QVERIFY2(!names.contains(name), qPrintable(original + QStringLiteral(" -> ") + name));
            names << name;
        }
    }

    void namesWithAFolderPartAreNotBare_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("bare");
        QTest::newRow("plain") << "fattura.pdf" << true;
        QTest::newRow("suffixed") << "_~d34d7f12.pdf" << true;
        QTest::newRow("parent, backslash") << "..\\x" << false;
        QTest::newRow("absolute") << "/etc/x" << false;
        QTest::newRow("drive") << "C:x" << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("dot, blanks") << " . " << false;
        QTest::newRow("empty") << "" << false;
    }
    void namesWithAFolderPartAreNotBare() {
        QFETCH(QString, name);
        QFETCH(bool, bare);
        QCOMPARE(AttachmentFolder::isBareName(name), bare);
        QCOMPARE(AttachmentFolder::fileFor(QStringLiteral("/p/"), name).isEmpty(), !bare);
    }
};

QTEST_GUILESS_MAIN(TestAttachmentFolder)
#include "tst_AttachmentFolder.moc"
