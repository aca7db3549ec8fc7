// The spreadsheet and zip libraries, through the calls the exports and the backups make: a
// workbook written by libxlsxwriter is a zip that libzip opens, and what libzip writes it
// reads back byte for byte. The same on Linux (Debian's libraries) and under Wine (the DLLs
// that scripts/windows-libs builds).
#include "support/Files.h"

#include <QDate>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <xlsxwriter.h>
#include <zip.h>

namespace {

// The 8-bit name the C libraries open: their fopen takes the system's encoding.
QByteArray cName(const QString& path) {
    return QFile::encodeName(path);
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// Opens an existing zip for reading with its directory checked; the libzip error code is
// left in *error when it cannot.
Zip openZip(const QString& path, int* error) {
    *error = ZIP_ER_OK;
    return Zip(zip_open(cName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, error));
}

// The whole of one entry, or "<unreadable>".
QByteArray entryBytes(zip_t* archive, zip_uint64_t index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return "<unreadable>";
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file)
        return "<unreadable>";
    QByteArray bytes(qsizetype(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    zip_fclose(file);
    return read == zip_int64_t(stat.size) ? bytes : QByteArray("<unreadable>");
}

QByteArray entryBytes(zip_t* archive, const char* name) {
    const zip_int64_t index = zip_name_locate(archive, name, 0);
    return index < 0 ? QByteArray("<missing>") : entryBytes(archive, zip_uint64_t(index));
}

using Entries = QList<QPair<QString, QByteArray>>;

} // namespace

class TestLibraries : public QObject {
    Q_OBJECT

private slots:
    void workbookIsAZipOfTypedCells();
    void zipRoundTrip_data();
    void zipRoundTrip();
    void damagedZipRefused_data();
    void damagedZipRefused();
};

// Text with accents and "€" stays text, a date is a number with a date format: what the
// .xlsx export writes for each cell of the grid.
void TestLibraries::workbookIsAZipOfTypedCells() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Protocollo.xlsx"));
    const QByteArray text =
        QStringLiteral("Fattura n. 12 – 1.250,00 € più IVA, però già pagata").toUtf8();

    lxw_workbook* workbook = workbook_new(cName(path).constData());
    QVERIFY(workbook);
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, "Protocollo");
    lxw_format* dateFormat = workbook_add_format(workbook);
    format_set_num_format(dateFormat, "dd/mm/yyyy");
    QCOMPARE(worksheet_write_string(sheet, 0, 0, text.constData(), nullptr), LXW_NO_ERROR);
    lxw_datetime date = {2026, 12, 10, 0, 0, 0.0};
    QCOMPARE(worksheet_write_datetime(sheet, 0, 1, &date, dateFormat), LXW_NO_ERROR);
    QCOMPARE(workbook_close(workbook), LXW_NO_ERROR);

    int error = 0;
    Zip zip = openZip(path, &error);
    QVERIFY2(zip, qPrintable(QStringLiteral("libzip error %1").arg(error)));
    QVERIFY(entryBytes(zip.get(), "xl/workbook.xml").contains("<sheet name=\"Protocollo\""));
    // Excel counts days from 30 December 1899.
    const qint64 serial = QDate(1899, 12, 30).daysTo(QDate(2026, 12, 10));
    const QByteArray cells = entryBytes(zip.get(), "xl/worksheets/sheet1.xml");
    QVERIFY2(cells.contains("<c r=\"A1\" t=\"s\"><v>0</v></c>"), cells.constData());
    QVERIFY2(cells.contains("<c r=\"B1\" s=\"1\"><v>" + QByteArray::number(serial) + "</v></c>"),
             cells.constData());
    QVERIFY(entryBytes(zip.get(), "xl/sharedStrings.xml").contains("<t>" + text + "</t>"));
    QVERIFY(entryBytes(zip.get(), "xl/styles.xml").contains("formatCode=\"dd/mm/yyyy\""));
}

void TestLibraries::zipRoundTrip_data() {
    QTest::addColumn<Entries>("entries");
    QByteArray noise(256 * 1024, '\0');
    QRandomGenerator random(20);
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    QByteArray withZeros("a\0b\0\r\n\x1a\xff", 9);

    QTest::newRow("empty file") << Entries{{"Impostazioni.ini", QByteArray()}};
    QTest::newRow("binary bytes") << Entries{{"2026.prt", withZeros}};
    QTest::newRow("accented name in a folder")
        << Entries{{QStringLiteral("Documenti_Allegati/Contratto però €.pdf"), "%PDF-1.4"}};
    QTest::newRow("compressible and incompressible")
        << Entries{{"Documenti.dat", QByteArray(4 * 1024 * 1024, ' ')}, {"foto.jpg", noise}};
}

// What the backup writes, the restore reads back: the same names, sizes and bytes.
void TestLibraries::zipRoundTrip() {
    QFETCH(Entries, entries);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Faldora_Backup.zip"));

    int error = 0;
    zip_t* out = zip_open(cName(path).constData(), ZIP_CREATE | ZIP_EXCL, &error);
    QVERIFY2(out, qPrintable(QStringLiteral("libzip error %1").arg(error)));
    for (const auto& [name, bytes] : entries) {
        // libzip reads the buffer at zip_close: the list outlives it.
        zip_source_t* source =
            zip_source_buffer(out, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        QVERIFY(source);
        const zip_int64_t index =
            zip_file_add(out, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0)
            zip_source_free(source);
        QVERIFY2(index >= 0, zip_strerror(out));
        QCOMPARE(zip_set_file_compression(out, zip_uint64_t(index), ZIP_CM_DEFLATE, 0), 0);
    }
    if (zip_close(out) != 0) {
        const QByteArray message = zip_strerror(out);
        zip_discard(out);
        QFAIL(message.constData());
    }

    Zip in = openZip(path, &error);
    QVERIFY2(in, qPrintable(QStringLiteral("libzip error %1").arg(error)));
    QCOMPARE(zip_get_num_entries(in.get(), 0), zip_int64_t(entries.size()));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        QCOMPARE(zip_stat_index(in.get(), zip_uint64_t(i), 0, &stat), 0);
        QCOMPARE(QString::fromUtf8(stat.name), entries[i].first);
        QCOMPARE(stat.size, zip_uint64_t(entries[i].second.size()));
        QCOMPARE(entryBytes(in.get(), zip_uint64_t(i)), entries[i].second);
    }
}

void TestLibraries::damagedZipRefused_data() {
    QTest::addColumn<int>("keep");
    QTest::addColumn<QByteArray>("tail");
    QTest::newRow("not a zip") << 0 << QByteArray("Faldora, non un archivio zip");
    QTest::newRow("cut before its directory") << -200 << QByteArray();
    QTest::newRow("cut inside its directory") << -30 << QByteArray();
}

// A zip cut short or of no zip at all is refused when opened, never read as fewer files.
void TestLibraries::damagedZipRefused() {
    QFETCH(int, keep);
    QFETCH(QByteArray, tail);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString whole = dir.filePath(QStringLiteral("intero.zip"));
    int error = 0;
    zip_t* out = zip_open(cName(whole).constData(), ZIP_CREATE | ZIP_EXCL, &error);
    QVERIFY(out);
    const QByteArray bytes(1000, 'x');
    for (const char* name : {"2025.prt", "2026.prt", "Documenti.dat"}) {
        zip_source_t* source =
            zip_source_buffer(out, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        QVERIFY(source && zip_file_add(out, name, source, 0) >= 0);
    }
    QCOMPARE(zip_close(out), 0);

    const QByteArray written = readBytes(whole);
    const QString damaged = dir.filePath(QStringLiteral("danneggiato.zip"));
    writeBytes(damaged,
               (keep < 0 ? written.left(written.size() + keep) : written.left(keep)) + tail);
    Zip in = openZip(damaged, &error);
    QVERIFY(!in);
    QVERIFY2(error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS,
             qPrintable(QStringLiteral("libzip error %1").arg(error)));
}

QTEST_GUILESS_MAIN(TestLibraries)
#include "tst_Libraries.moc"
