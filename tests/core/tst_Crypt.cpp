#include "core/Credential.h"
#include "core/Crypt.h"
#include "core/IniFile.h"
#include "support/Processes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestCrypt : public QObject {
    Q_OBJECT
private slots:
    void roundTripsEveryTextOfCodesUpTo255() {
        QRandomGenerator random(20261209);
        for (int i = 0; i < 2000; ++i) {
            QString text(random.bounded(0, 60), Qt::Uninitialized);
            for (QChar& c : text)
                c = QChar(static_cast<char16_t>(random.bounded(0, 256)));
            const QString stored = Crypt::Encrypt(text);
            QCOMPARE(stored.size(), text.size() * 2);
            QCOMPARE(Crypt::Decrypt(stored).value_or(QStringLiteral("<failed>")), text);
        }
    }

    void storedFormIsUpperCaseHex() {
        const QString stored = Crypt::Encrypt(QStringLiteral("lucernavolpina"));
        QCOMPARE(stored.size(), 28);
        QVERIFY(QRegularExpression(QStringLiteral("^[0-9A-F]+$")).match(stored).hasMatch());
        QCOMPARE(Crypt::Encrypt(QString()), QString());
        QCOMPARE(Crypt::Decrypt(QString()), std::optional<QString>(QString()));
    }

    void knownAnswers_data() {
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("stored");
        // The delivered first-access password, as the installed credential files hold it:
        // a change of the cipher's constants would lock every installation out.
        QTest::newRow("delivered password") << "LUCERNAVOLPINA"
                                            << "382A1A7A1C78F4E3687DD9BE1306";
        // Bytes that drive the key's sum past 16 bits at every step.
        QTest::newRow("high bytes") << QStringLiteral("\u00FF\u00FF\u00FF\u00FF") << "8B93EB35";
    }
    void knownAnswers() {
        QFETCH(QString, plain);
        QFETCH(QString, stored);
        QCOMPARE(Crypt::Encrypt(plain), stored);
        QCOMPARE(Crypt::Decrypt(stored), std::optional<QString>(plain));
    }

    void changingOneCharacterKeepsThePairsBeforeIt() {
        const QString a = Crypt::Encrypt(QStringLiteral("PASSWORD1"));
        const QString b = Crypt::Encrypt(QStringLiteral("PASSWXRD1"));
        QCOMPARE(a.left(10), b.left(10)); // "PASSW" unchanged
        QVERIFY(a.mid(10, 2) != b.mid(10, 2));
        // The same last character is enciphered with a key that depends on the change.
        QVERIFY(a.right(2) != b.right(2));
    }

    void decryptIsLenient_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("plain");
        const QString stored = Crypt::Encrypt(QStringLiteral("ABC"));
        QTest::newRow("odd length ignores the last digit") << stored + u'7' << "ABC";
        QTest::newRow("lower-case digits") << stored.toLower() << "ABC";
    }
    void decryptIsLenient() {
        QFETCH(QString, stored);
        QFETCH(QString, plain);
        QCOMPARE(Crypt::Decrypt(stored), std::optional<QString>(plain));
    }

    void decryptRefusesWhatIsNotHex_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("letters") << "ZZ";
        QTest::newRow("one bad digit") << "1G";
        QTest::newRow("second pair") << "00x1";
        QTest::newRow("blank") << "0 ";
    }
    void decryptRefusesWhatIsNotHex() {
        QFETCH(QString, stored);
        QVERIFY(!Crypt::Decrypt(stored));
    }

    void preparingAndMatching_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("match");
        QTest::newRow("lower case") << "LUCERNAVOLPINA"
                                    << "lucernavolpina" << true;
        QTest::newRow("mixed case and blanks") << "LUCERNAVOLPINA"
                                               << "  LuCeRnAvOlPiNa \t" << true;
        QTest::newRow("other word") << "LUCERNAVOLPINA"
                                    << "lucerna" << false;
        QTest::newRow("accented letters stay as typed")
            << QStringLiteral("PERCHé") << QStringLiteral("perché") << true;
        QTest::newRow("accented upper case differs")
            << QStringLiteral("PERCHé") << QStringLiteral("PERCHÉ") << false;
        QTest::newRow("empty stored matches nothing blank-free") << ""
                                                                 << "x" << false;
    }
    void preparingAndMatching() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, match);
        QCOMPARE(Credential::matches(stored, typed), match);
    }

    void credentialFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unins000.dll"));
        // Missing file: an empty password, which no typed password matches.
        QCOMPARE(Credential::read(path).status, Credential::ReadStatus::Ok);
        QVERIFY(Credential::read(path).password.isEmpty());

        QVERIFY(Credential::write(path, QStringLiteral(" €uro è bello ")));
        const auto stored = Credential::read(path);
        QCOMPARE(stored.status, Credential::ReadStatus::Ok);
        QCOMPARE(stored.password, QStringLiteral("€URO è BELLO"));
        QVERIFY(Credential::matches(stored.password, QStringLiteral("€uro è bello")));

        QVERIFY(IniFile(path).write(QStringLiteral("Accesso"), QStringLiteral("Valore"),
                                    QStringLiteral("XYZ1")));
        QCOMPARE(Credential::read(path).status, Credential::ReadStatus::Unreadable);
    }

    void newPasswordsTheCipherCannotKeepAreRefused_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("plain") << "segreta" << false;
        QTest::newRow("euro and accents") << QStringLiteral("càffè€") << false;
        QTest::newRow("greek") << QStringLiteral("αβγ") << true;
        QTest::newRow("1023 characters") << QString(1023, u'a') << false;
        QTest::newRow("1024 characters") << QString(1024, u'a') << true;
        QTest::newRow("long only with blanks")
            << QStringLiteral("  ") + QString(1023, u'a') + QStringLiteral("  ") << false;
    }
    void newPasswordsTheCipherCannotKeepAreRefused() {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        QCOMPARE(Credential::refusal(typed).has_value(), refused);
        if (refused)
            return;
        // What is accepted is matched again afterwards, even at the longest.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unins000.dll"));
        QVERIFY(Credential::write(path, typed));
        QVERIFY(Credential::matches(Credential::read(path).password, typed));
    }

    void deliveredCredentialFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unins000.dll"));
        const QString tool = QStringLiteral(MAKECREDENTIAL_PATH);
        QCOMPARE(QProcess::execute(tool, {QStringLiteral("--if-missing"), path}), 0);
        QVERIFY(
            Credential::matches(Credential::read(path).password, QStringLiteral("lucernavolpina")));
        // A user's own password survives the next build or install.
        QVERIFY(Credential::write(path, QStringLiteral("mia")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray changed = file.readAll();
        file.close();
        QCOMPARE(QProcess::execute(tool, {QStringLiteral("--if-missing"), path}), 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), changed);
    }

    // The tool also writes a credential with another password, standing for a user's own in
    // the tests of an installation; what is not a path or a storable password writes nothing.
    void credentialToolArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("opensWith"); // empty: no file is written
        const QString path = QStringLiteral("unins000.dll");
        QTest::newRow("delivered") << QStringList{path} << 0 << "lucernavolpina";
        QTest::newRow("own password")
            << QStringList{QStringLiteral("--password"), QStringLiteral("mia"), path} << 0 << "mia";
        QTest::newRow("option taken for a path")
            << QStringList{QStringLiteral("--help")} << 2 << QString();
        QTest::newRow("password without a path")
            << QStringList{QStringLiteral("--password"), path} << 2 << QString();
        QTest::newRow("character outside the code page")
            << QStringList{QStringLiteral("--password"), QStringLiteral("\u4E2D"), path} << 2
            << QString();
    }
    void credentialToolArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, opensWith);
        QTemporaryDir dir;
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        QVERIFY(startProgram(tool, QStringLiteral(MAKECREDENTIAL_PATH), arguments));
        QVERIFY(tool.waitForFinished());
        QCOMPARE(tool.exitCode(), exitCode);
        const QStringList written = QDir(dir.path()).entryList(QDir::Files);
        if (opensWith.isEmpty()) {
            QCOMPARE(written, QStringList());
            return;
        }
        const auto stored = Credential::read(dir.filePath(QStringLiteral("unins000.dll")));
        QVERIFY(Credential::matches(stored.password, opensWith));
        QCOMPARE(Credential::matches(stored.password, QStringLiteral("lucernavolpina")),
                 opensWith == QStringLiteral("lucernavolpina"));
    }
};

QTEST_APPLESS_MAIN(TestCrypt)
#include "tst_Crypt.moc"
