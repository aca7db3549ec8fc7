#include "core/IniFile.h"
#include "support/ReadOnly.h"
#include "support/RefusedRename.h"
#include "support/Users.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QByteArray kInstalled = "[Numerazione Protocollo]\r\n"
                              "Inizio=100\r\n"
                              "Indicazione Anno Solare=S\xEC\r\n"
                              "\r\n"
                              "[Protocollo Documenti]\r\n"
                              "Ufficio=Segreteria\r\n"
                              "Operatore=Mario Rossi\r\n";

// The installed file's text as a text editor saves it with a byte-order mark.
const QString kInstalledText = QStringLiteral("[Numerazione Protocollo]\r\n"
                                              "Inizio=100\r\n"
                                              "Indicazione Anno Solare=Sì\r\n"
                                              "\r\n"
                                              "[Protocollo Documenti]\r\n"
                                              "Ufficio=Segreteria\r\n"
                                              "Operatore=Mario Rossi\r\n");

QByteArray utf8WithMark(const QString& text) {
    return "\xEF\xBB\xBF" + text.toUtf8();
}

QByteArray utf16WithMark(const QString& text, bool littleEndian) {
    QByteArray bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
        bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return bytes;
}

QByteArray withMark(const QString& encoding, const QString& text) {
    if (encoding == QLatin1String("UTF-8"))
        return utf8WithMark(text);
    return utf16WithMark(text, encoding == QLatin1String("UTF-16 LE"));
}

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_n = 0;
    QString freshPath() { return m_dir.filePath(QStringLiteral("s%1.ini").arg(++m_n)); }

private slots:
    void read_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("installed file") << kInstalled << "Numerazione Protocollo"
                                        << "Inizio"
                                        << "100";
        QTest::newRow("Sì from 53 EC") << kInstalled << "Numerazione Protocollo"
                                       << "Indicazione Anno Solare" << QStringLiteral("Sì");
        QTest::newRow("names in any case") << kInstalled << "PROTOCOLLO documenti"
                                           << "operatore"
                                           << "Mario Rossi";
        QTest::newRow("key of another section") << kInstalled << "Protocollo Documenti"
                                                << "Inizio"
                                                << "";
        QTest::newRow("missing section") << kInstalled << "Altro"
                                         << "Inizio"
                                         << "";
        QTest::newRow("missing key") << kInstalled << "Protocollo Documenti"
                                     << "Telefono"
                                     << "";
        QTest::newRow("hand-made: LF ends, blanks around names and =")
            << QByteArray("  [ Numerazione Protocollo ]  \n  Inizio   =   7  \n")
            << "Numerazione Protocollo"
            << "Inizio"
            << "7";
        QTest::newRow("last line without line end")
            << QByteArray("[Protocollo Documenti]\r\nUfficio=Ragioneria") << "Protocollo Documenti"
            << "Ufficio"
            << "Ragioneria";
        QTest::newRow("value with = inside") << QByteArray("[A]\r\nK=a=b\r\n") << "A"
                                             << "K"
                                             << "a=b";
        QTest::newRow("quoted value") << QByteArray("[A]\r\nK=\" x \"\r\n") << "A"
                                      << "K"
                                      << " x ";
        QTest::newRow("comment is not a key") << QByteArray("[A]\r\n;K=1\r\nK=2\r\n") << "A"
                                              << "K"
                                              << "2";
        QTest::newRow("first of two equal keys") << QByteArray("[A]\nK=1\nK=2\n") << "A"
                                                 << "K"
                                                 << "1";
        QTest::newRow("long value cut at 2047")
            << QByteArray("[A]\r\nK=") + QByteArray(3000, 'v') << "A"
            << "K" << QString(2047, u'v');
    }
    void read() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = freshPath();
        writeBytes(path, content);
        QCOMPARE(IniFile(path).read(section, key), value);
    }

    void readMissingFile() {
        QCOMPARE(IniFile(m_dir.filePath(QStringLiteral("none.ini")))
                     .read(QStringLiteral("A"), QStringLiteral("K")),
                 QString());
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before"); // "<none>": no file yet
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("first write creates the file")
            << QByteArray("<none>") << "Numerazione Protocollo"
            << "Indicazione Anno Solare" << QStringLiteral("Sì")
            << QByteArray("[Numerazione Protocollo]\r\nIndicazione Anno Solare=S\xEC\r\n");
        QTest::newRow("replaced in place, everything else kept")
            << kInstalled << "numerazione protocollo"
            << "INIZIO"
            << "50" << QByteArray(kInstalled).replace("Inizio=100", "INIZIO=50");
        QTest::newRow("new key at the end of its section")
            << kInstalled << "Numerazione Protocollo"
            << "Nuova"
            << "x" << QByteArray(kInstalled).replace("S\xEC\r\n", "S\xEC\r\nNuova=x\r\n");
        QTest::newRow("new section after a last line without end")
            << QByteArray("[A]\nK=1") << "Protocollo Documenti"
            << "Ufficio"
            << "Segreteria"
            << QByteArray("[A]\nK=1\r\n[Protocollo Documenti]\r\nUfficio=Segreteria\r\n");
        QTest::newRow("LF lines of a hand-made file stay as they were")
            << QByteArray("[A]\n  K = 1 \n; nota\n[B]\nJ=2\n") << "A"
            << "K"
            << "3" << QByteArray("[A]\nK=3\n; nota\n[B]\nJ=2\n");
        QTest::newRow("empty value")
            << kInstalled << "Protocollo Documenti"
            << "Ufficio"
            << "" << QByteArray(kInstalled).replace("Ufficio=Segreteria", "Ufficio=");
    }
    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        const QString path = freshPath();
        if (before != "<none>")
            writeBytes(path, before);
        QString error;
        QVERIFY(IniFile(path).write(section, key, value, &error));
        QVERIFY(error.isEmpty());
        QCOMPARE(readBytes(path), after);
        QCOMPARE(IniFile(path).read(section, key), value);
    }

    // A settings file saved by a text editor with a byte-order mark: the numbering is read
    // from its first section, and a write keeps the file's encoding and every other byte.
    void fileWithByteOrderMark_data() {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("after"); // the text after the write
        const QString numbering = QStringLiteral("Numerazione Protocollo");
        const QString card = QStringLiteral("Protocollo Documenti");
        for (const char* encoding : {"UTF-8", "UTF-16 LE", "UTF-16 BE"}) {
            QTest::addRow("%s: value replaced", encoding)
                << encoding << numbering << "Inizio"
                << "7" << QString(kInstalledText).replace("Inizio=100", "Inizio=7");
            QTest::addRow("%s: letters outside the code page", encoding)
                << encoding << card << "Ufficio" << QStringLiteral("Ufficio Čapek €")
                << QString(kInstalledText)
                       .replace("Ufficio=Segreteria", QStringLiteral("Ufficio=Ufficio Čapek €"));
            QTest::addRow("%s: new section", encoding)
                << encoding << "Altro"
                << "Città" << QStringLiteral("Sì")
                << kInstalledText + QStringLiteral("[Altro]\r\nCittà=Sì\r\n");
        }
    }
    void fileWithByteOrderMark() {
        QFETCH(QString, encoding);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, after);
        const QString path = freshPath();
        writeBytes(path, withMark(encoding, kInstalledText));
        const IniFile file(path);
        QCOMPARE(file.read(QStringLiteral("Numerazione Protocollo"),
                           {QStringLiteral("Inizio"), QStringLiteral("Indicazione Anno Solare")}),
                 QStringList({QStringLiteral("100"), QStringLiteral("Sì")}));
        QString error;
        QVERIFY(file.write(section, key, value, &error));
        QCOMPARE(readBytes(path), withMark(encoding, after));
        QCOMPARE(file.read(section, key), value);
        QCOMPARE(file.read(QStringLiteral("Protocollo Documenti"), QStringLiteral("Operatore")),
                 QStringLiteral("Mario Rossi"));
    }

    // What a write does not touch stays byte for byte, even bytes that are not text in the
    // file's encoding.
    void bytesAroundAWriteStayAsTheyWere_data() {
        QTest::addColumn<QByteArray>("before"); // holds [A] K=1
        QTest::addColumn<QString>("key");       // written with the value 2
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("UTF-8: bytes that are not UTF-8")
            << QByteArray("\xEF\xBB\xBF[A]\r\nX=\xE8\xFF\r\nK=1\r\nY=\xC3\r\n") << "K"
            << QByteArray("\xEF\xBB\xBF[A]\r\nX=\xE8\xFF\r\nK=2\r\nY=\xC3\r\n");
        QTest::newRow("UTF-16 LE: a dangling odd byte stays last")
            << utf16WithMark(QStringLiteral("[A]\r\nK=1"), true) + '\0' << "J"
            << utf16WithMark(QStringLiteral("[A]\r\nK=1\r\nJ=2\r\n"), true) + '\0';
        QTest::newRow("UTF-16 BE: a lone surrogate kept")
            << utf16WithMark(QStringLiteral("[A]\r\nX=") + QChar(0xD800) + "\r\nK=1\r\n", false)
            << "K"
            << utf16WithMark(QStringLiteral("[A]\r\nX=") + QChar(0xD800) + "\r\nK=2\r\n", false);
        QTest::newRow("code page: a last line ending in a lone CR")
            << QByteArray("[A]\r\nK=1\r") << "J" << QByteArray("[A]\r\nK=1\r\r\nJ=2\r\n");
    }
    void bytesAroundAWriteStayAsTheyWere() {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        const QString path = freshPath();
        writeBytes(path, before);
        QVERIFY(IniFile(path).write(QStringLiteral("A"), key, QStringLiteral("2")));
        QCOMPARE(readBytes(path), after);
        QCOMPARE(IniFile(path).read(QStringLiteral("A"), key), QStringLiteral("2"));
        if (key != QLatin1String("K"))
            QCOMPARE(IniFile(path).read(QStringLiteral("A"), QStringLiteral("K")),
                     QStringLiteral("1"));
    }

    void refusedWriteKeepsTheFile_data() {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QStringList>("left"); // the folder's files afterwards
        const QString file = QStringLiteral("Faldora_Pro.ini");
        // The lock is taken before the file is tried: on Windows trying it outside the lock
        // would stand in the way of another copy's rename.
        QTest::newRow("read-only file") << "file" << QStringList{file, file + ".lock"};
        QTest::newRow("read-only folder") << "folder" << QStringList{file};
        // The rename at the end, as a settings file kept open by another program refuses it.
        QTest::newRow("rename refused") << "rename" << QStringList{file, file + ".lock"};
    }
    void refusedWriteKeepsTheFile() {
        QFETCH(QString, refused);
        QFETCH(QStringList, left);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Faldora_Pro.ini"));
        writeBytes(path, kInstalled);
        {
            std::unique_ptr<ReadOnly> readOnly;
            std::unique_ptr<RefusedRename> refusedRename;
            if (refused == QLatin1String("rename")) {
                refusedRename = std::make_unique<RefusedRename>();
            } else {
                readOnly = std::make_unique<ReadOnly>(
                    refused == QLatin1String("folder") ? dir.path() : path);
                if (!readOnly->ok())
                    QSKIP("this machine cannot make the path read-only");
            }
            QString error;
            QVERIFY(!IniFile(path).write(QStringLiteral("Numerazione Protocollo"),
                                         QStringLiteral("Inizio"), QStringLiteral("5"), &error));
            QCOMPARE(error, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
        }
        QCOMPARE(readBytes(path), kInstalled);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), left);
    }

    // Whatever this user's umask, the lock file can be opened and locked by every user who
    // can write the folder; one left owner-only by an earlier copy is opened up by its owner.
    void lockFileIsOpenToEveryUser_data() {
        QTest::addColumn<bool>("ownerOnlyBefore");
        QTest::newRow("made by the write") << false;
        QTest::newRow("owner-only, left by this user") << true;
    }
    void lockFileIsOpenToEveryUser() {
#ifdef Q_OS_WIN
        QSKIP("on Windows a new file takes its rights from the folder");
#endif
        QFETCH(bool, ownerOnlyBefore);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Faldora_Pro.ini"));
        const QString lockPath = path + QStringLiteral(".lock");
        const Umask ownerOnly(077);
        if (ownerOnlyBefore) {
            writeBytes(lockPath, {});
            QFile::setPermissions(lockPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
        QVERIFY(IniFile(path).write(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("v")));
        const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                              QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                              QFileDevice::ReadOther | QFileDevice::WriteOther;
        QCOMPARE(QFile::permissions(lockPath) & everyone, everyone);
    }

    void missingFolderIsRefused() {
        const QString path = m_dir.filePath(QStringLiteral("missing/Faldora_Pro.ini"));
        QString error;
        QVERIFY(!IniFile(path).write(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("v"),
                                     &error));
        QCOMPARE(error, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
    }
};

QTEST_APPLESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
