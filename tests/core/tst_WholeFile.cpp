#include "core/Credential.h"
#include "core/IniFile.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/Spreadsheet.h"
#include "core/WholeFile.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/RefusedRename.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {

// A writer of the program, the file it replaces and what that file held before.
struct Writer {
    const char* name;
    const char* fileName;
    QByteArray before;
    std::function<bool(const QString& path)> write;
};

// A protocol export of three rows written in `format`.
bool exportTo(const QString& path, Spreadsheet::Format format) {
    const Spreadsheet::Target target = Spreadsheet::protocolExport();
    return Spreadsheet::write(path, format, target, 3, [&](int row, Spreadsheet::Writer& out) {
               out.beginRow();
               for (int c = 0; c < target.columns.size(); ++c)
                   out.cell(QByteArray("cella ") + QByteArray::number(row * 100 + c));
               out.endRow();
           }) == Spreadsheet::Outcome::Written;
}

QList<Writer> writers() {
    const QString longText = QString(300, u'x');
    const auto settingsWrite = [longText](const QString& path) {
        return IniFile(path).write(
            QStringLiteral("Protocollo Documenti"),
            {{QStringLiteral("Ufficio"), longText}, {QStringLiteral("Operatore"), longText}});
    };
    return {
        {"settings", "Faldora_Pro.ini",
         "[Numerazione Protocollo]\r\nInizio=100\r\nIndicazione Anno Solare=S\xEC\r\n",
         settingsWrite},
        // Saved by a text editor as UTF-16: rewritten as UTF-16, twice the bytes.
        {"settings in UTF-16", "Faldora_Pro.ini",
         QByteArray("\xFF\xFE[\0A\0]\0\r\0\n\0K\0=\0\x31\0\r\0\n\0", 22), settingsWrite},
        {"credential", "unins000.dll", "[Accesso]\r\nValore=382A1A7A1C78F4E3687DD9BE1306\r\n",
         [longText](const QString& path) { return Credential::write(path, longText.left(200)); }},
        {"export .xls", "Protocollo.xls", "<html>an earlier export</html>",
         [](const QString& path) { return exportTo(path, Spreadsheet::Format::Xls); }},
        {"export .xlsx", "Protocollo.xlsx", "PK an earlier export",
         [](const QString& path) { return exportTo(path, Spreadsheet::Format::Xlsx); }},
        {"export .csv", "Protocollo.csv", "an;earlier;export",
         [](const QString& path) { return exportTo(path, Spreadsheet::Format::Csv); }},
    };
}

ProtocolRecord card(int n) {
    ProtocolRecord r;
    r.setText(ProtocolRecord::Numero, QString::number(n));
    r.setText(ProtocolRecord::Oggetto, QStringLiteral("Oggetto %1").arg(n));
    return r;
}

} // namespace

// What the program writes never reports success when the disk refused it, and never
// leaves a file worse than it was.
class TestWholeFile : public QObject {
    Q_OBJECT
private slots:
    void failedWriteKeepsThePreviousFile_data() {
        QTest::addColumn<int>("writer");
        QTest::addColumn<QString>("failure");
        for (int i = 0; i < writers().size(); ++i) {
            for (const char* failure : {"size limit", "full tmpfs", "rename refused"})
                QTest::addRow("%s, %s", writers()[i].name, failure) << i << failure;
        }
    }
    void failedWriteKeepsThePreviousFile() {
        QFETCH(int, writer);
        QFETCH(QString, failure);
        const Writer w = writers()[writer];
        QTemporaryDir dir;
        std::unique_ptr<TinyDisk> disk;
        if (failure == QLatin1String("full tmpfs")) {
            disk = std::make_unique<TinyDisk>(dir.path(), 64 * 1024);
            if (!disk->ok())
                QSKIP(qPrintable(disk->why()));
        }
        const QString path = dir.filePath(QLatin1String(w.fileName));
        writeBytes(path, w.before);
        bool written = true;
        if (disk) {
            QVERIFY(disk->fill());
            written = w.write(path);
        } else if (failure == QLatin1String("size limit")) {
            const FileSizeLimit limit(64);
            if (!limit.ok())
                QSKIP(qPrintable(limit.why()));
            written = w.write(path);
        } else {
            const RefusedRename refused;
            written = w.write(path);
        }
        QVERIFY(!written);
        QCOMPARE(readBytes(path), w.before);
        // No temporary file is left behind either: only the file, its lock and the filler.
        const QStringList expected{QLatin1String(w.fileName),
                                   QLatin1String(w.fileName) + QStringLiteral(".lock"),
                                   QStringLiteral("riempimento.bin")};
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden))
            QVERIFY2(expected.contains(name), qPrintable(name));
    }

    void writersSucceedWhenThereIsRoom() {
        QTemporaryDir dir;
        for (const Writer& w : writers()) {
            const QString path = dir.filePath(QLatin1String(w.fileName));
            writeBytes(path, w.before);
            QVERIFY2(w.write(path), w.name);
            QVERIFY(readBytes(path) != w.before);
        }
    }

    void aWholeFileReplacesTheOldOneOrNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Protocollo.xls"));
        QVERIFY(WholeFile::replace(path, "prima"));
        QVERIFY(WholeFile::replace(path, "seconda"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("seconda"));
        QVERIFY(!WholeFile::replace(dir.filePath(QStringLiteral("manca/Protocollo.xls")), "x"));
    }

    void failedAppendLeavesTheRegisterAsItWas_data() {
        QTest::addColumn<int>("tail"); // bytes of an incomplete last record
        QTest::addColumn<bool>("tinyDisk");
        QTest::newRow("size limit") << 0 << false;
        QTest::newRow("size limit, over an incomplete tail") << 100 << false;
        QTest::newRow("full tmpfs") << 0 << true;
        QTest::newRow("full tmpfs, over an incomplete tail") << 100 << true;
    }
    void failedAppendLeavesTheRegisterAsItWas() {
        QFETCH(int, tail);
        QFETCH(bool, tinyDisk);
        QTemporaryDir dir;
        std::unique_ptr<TinyDisk> disk;
        if (tinyDisk) {
            disk = std::make_unique<TinyDisk>(dir.path(), 64 * 1024);
            if (!disk->ok())
                QSKIP(qPrintable(disk->why()));
        }
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        QByteArray before;
        for (int n = 1; n <= 3; ++n)
            before += card(n).bytes();
        before += QByteArray(tail, '\x7F');
        writeBytes(path, before);
        const RecordArchive archive(path, ProtocolRecord::layout());

        std::optional<int> appended;
        if (tinyDisk) {
            QVERIFY(disk->fill());
            appended = archive.append(card(4));
        } else {
            // Room for part of the new card only: the write stops half way.
            const FileSizeLimit limit(3 * 3403 + 1448);
            if (!limit.ok())
                QSKIP(qPrintable(limit.why()));
            appended = archive.append(card(4));
        }
        QVERIFY(!appended);
        QCOMPARE(readBytes(path), before);
        // Once there is room again, the card goes in once, at position 4.
        disk.reset();
        if (tinyDisk) {
            writeBytes(path, before);
        }
        QCOMPARE(archive.append(card(4)), std::optional<int>(4));
        QCOMPARE(archive.count(), std::optional<int>(4));
    }

    void oversizedSettingsFileIsReadToALimitAndNeverRewritten() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unins000.dll"));
        QByteArray bytes =
            "[Accesso]\r\nValore=" + Credential::storedForm(QStringLiteral("mia")).toLatin1() +
            "\r\n";
        bytes += QByteArray(IniFile::kMaxFileSize * 3, 'z');
        writeBytes(path, bytes);
        QVERIFY(Credential::matches(Credential::read(path).password, QStringLiteral("mia")));
        // Rewriting would cut what lies past the limit: refused, the file kept.
        QVERIFY(!Credential::write(path, QStringLiteral("nuova")));
        QCOMPARE(readBytes(path).size(), bytes.size());
    }
};

QTEST_GUILESS_MAIN(TestWholeFile)
#include "tst_WholeFile.moc"
