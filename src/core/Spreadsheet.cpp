#include "Spreadsheet.h"

#include "Cp1252.h"
#include "LargeArray.h"
#include "StrictDate.h"
#include "TextField.h"
#include "WholeFile.h"
#include "platform/NativePath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <xlsxwriter.h>

namespace Spreadsheet {
namespace {

QList<Column> protocolColumns() {
    return {
        {QStringLiteral("N. protocollo"), 200},
        {QStringLiteral("Tipologia posta"), 250},
        {QStringLiteral("Data registrazione"), 200, true},
        {QStringLiteral("Ufficio"), 250},
        {QStringLiteral("Operatore"), 250},
        {QStringLiteral("Categoria"), 250},
        {QStringLiteral("Collocazione documento cartaceo"), 300},
        {QStringLiteral("Oggetto"), 300},
        {QStringLiteral("Data spedizione"), 200, true},
        {QStringLiteral("Data ricezione"), 200, true},
        {QStringLiteral("Formato"), 250},
        {QStringLiteral("N. pagine"), 200},
        {QStringLiteral("Riferimenti"), 300},
        {QStringLiteral("Note"), 300},
        {QStringLiteral("Mittente"), 250},
        {QStringLiteral("Recapito mittente"), 250},
        {QStringLiteral("Destinatario"), 250},
        {QStringLiteral("Recapito destinatario"), 250},
    };
}

// What a byte of a text is written as, when not as itself: the markup characters, so that
// the sheet shows them as they are, and the line breaks a damaged or foreign card may hold,
// as references that read back as the same characters, so that the file stays one line.
// At most kLongestEntity bytes.
constexpr qsizetype kLongestEntity = 5;
const char* entity(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '\r':
        return "&#13;";
    case '\n':
        return "&#10;";
    default:
        return nullptr;
    }
}

void appendEscaped(QByteArray& out, QByteArrayView text) {
    qsizetype run = 0; // start of the bytes not yet appended
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char* written = entity(text[i]);
        if (!written)
            continue;
        out.append(text.sliced(run, i - run));
        out.append(written);
        run = i + 1;
    }
    out.append(text.sliced(run));
}

constexpr QByteArrayView kRowOpen = "<tr>";
constexpr QByteArrayView kRowClose = "</tr>";
// Every cell is text: without the number format "@" a spreadsheet program reads "007" as 7,
// "1E5" as 100000 and evaluates "=1+1" typed in a field.
constexpr QByteArrayView kCellOpen =
    "<td style=\"text-align: left; mso-number-format:\\@;\" sdnum=\"1040;0;@\">";
constexpr QByteArrayView kCellClose = "</td>";
constexpr QByteArrayView kTail = "</table></body></html>";

QByteArray head(const Target& target) {
    QByteArray out;
    out += "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
           "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
           "xmlns=\"http://www.w3.org/TR/REC-html40\">";
    out += "<head>"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
           "<!--[if gte mso 9]><xml>"
           "<x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>";
    appendEscaped(out, Cp1252::encode(target.worksheet));
    out += "</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane>"
           "<x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow>"
           "</x:Pane></x:Panes>"
           "<x:ProtectContents>False</x:ProtectContents>"
           "<x:ProtectObjects>False</x:ProtectObjects>"
           "<x:ProtectScenarios>False</x:ProtectScenarios>"
           "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets>"
           "</x:ExcelWorkbook></xml><![endif]-->"
           "</head><body><table x:str><tr>";
    for (const Column& column : target.columns) {
        out += "<td style=\"text-align: left; font-weight: bold;\" width=";
        out += QByteArray::number(column.width) + '>';
        appendEscaped(out, Cp1252::encode(column.title));
        out += "</td>";
    }
    out += "</tr>";
    return out;
}

} // namespace

Target protocolSummary() {
    return {QStringLiteral("Protocollo.xls"), QStringLiteral("Protocollo Documenti"),
            protocolColumns()};
}

Target protocolExport() {
    return {QStringLiteral("Protocollo.xls"), QStringLiteral("Protocollo Posta"),
            protocolColumns()};
}

Target documentExport() {
    return {QStringLiteral("Schedario_Documenti.xls"),
            QStringLiteral("Schedario Documenti"),
            {
                {QStringLiteral("Documento"), 300},
                {QStringLiteral("Protocollo n."), 200},
                {QStringLiteral("Produttore"), 250},
                {QStringLiteral("Indirizzo produttore"), 250},
                {QStringLiteral("Data produzione"), 200, true},
                {QStringLiteral("Destinatario"), 250},
                {QStringLiteral("Indirizzo destinatario"), 250},
                {QStringLiteral("Data ricezione"), 200, true},
                {QStringLiteral("Oggetto"), 400},
                {QStringLiteral("Tipo documento"), 250},
                {QStringLiteral("Classificazione"), 250},
                {QStringLiteral("Fascicolo contenitore"), 300},
                {QStringLiteral("Formato"), 250},
                {QStringLiteral("N. pagine"), 200},
                {QStringLiteral("Allegati"), 300},
                {QStringLiteral("Riferimenti"), 300},
                {QStringLiteral("Livello di riservatezza"), 250},
                {QStringLiteral("Software di produzione"), 250},
                {QStringLiteral("Luogo conservazione"), 250},
                {QStringLiteral("Soggetti citati nel documento"), 400},
                {QStringLiteral("Note"), 400},
                {QStringLiteral("Da completare"), 120},
            }};
}

namespace {

constexpr qsizetype kChunk = qsizetype(1) << 20;
constexpr int kProgressStep = 4096;

// Bytes on their way to the file, handed over a chunk at a time.
class Chunks {
public:
    explicit Chunks(WholeFile::Stream& file) : m_file(file) {
        m_buffer.reserve(kChunk + kChunk / 4);
    }
    char* extend(qsizetype n) { return m_buffer.extend(n); }
    void truncate(qsizetype n) { m_buffer.truncate(n); }
    qsizetype size() const { return m_buffer.size(); }
    void put(QByteArrayView bytes) { m_buffer.append(bytes.data(), bytes.size()); }
    // At the end of a row: a full chunk goes to the file.
    void rowDone() {
        if (m_buffer.size() >= kChunk)
            flush();
    }
    bool flush() {
        m_failed = !m_file.write(QByteArrayView(m_buffer.data(), m_buffer.size())) || m_failed;
        m_buffer.truncate(0);
        return !m_failed;
    }
    bool failed() const { return m_failed; }

private:
    WholeFile::Stream& m_file;
    LargeArray<char> m_buffer;
    bool m_failed = false;
};

// A writer of one format into a file being written.
class FileWriter : public Writer {
public:
    // After the last row: true when everything reached the file.
    virtual bool finish() = 0;
    // True once a write failed: the rows left need not be made.
    virtual bool failed() const = 0;
};

class XlsWriter final : public FileWriter {
public:
    XlsWriter(const Target& target, WholeFile::Stream& file) : m_out(file) {
        m_out.put(head(target));
    }
    void beginRow() override { m_out.put(kRowOpen); }
    void cell(QByteArrayView text) override {
        const QByteArrayView t = TextField::trimBlanks(text);
        // Room for the worst case, every byte an entity; what is left over is given back.
        const qsizetype begin = m_out.size();
        char* const start =
            m_out.extend(kCellOpen.size() + kLongestEntity * t.size() + kCellClose.size());
        char* at = start;
        auto copy = [&at](QByteArrayView bytes) {
            std::memcpy(at, bytes.data(), size_t(bytes.size()));
            at += bytes.size();
        };
        copy(kCellOpen);
        for (const char c : t) {
            if (const char* written = entity(c))
                copy(written);
            else
                *at++ = c;
        }
        copy(kCellClose);
        m_out.truncate(begin + (at - start));
    }
    void endRow() override {
        m_out.put(kRowClose);
        m_out.rowDone();
    }
    bool finish() override {
        m_out.put(kTail);
        return m_out.flush();
    }
    bool failed() const override { return m_out.failed(); }

private:
    Chunks m_out;
};

// UTF-8 of the Windows-1252 bytes from 0x80 on: at most 3 bytes each.
struct Utf8High {
    char bytes[128][3];
    unsigned char size[128];
};

const Utf8High& utf8High() {
    static const Utf8High table = [] {
        Utf8High t{};
        for (int b = 0x80; b < 0x100; ++b) {
            const QByteArray utf8 = QString(QChar(Cp1252::toUnicode(uchar(b)))).toUtf8();
            t.size[b - 0x80] = uchar(utf8.size());
            std::memcpy(t.bytes[b - 0x80], utf8.constData(), size_t(utf8.size()));
        }
        return t;
    }();
    return table;
}

// Writes the UTF-8 of Windows-1252 byte `c` at `at`, and returns the end.
char* putUtf8(char* at, char c) {
    const uchar b = uchar(c);
    if (b < 0x80) {
        *at = c;
        return at + 1;
    }
    const Utf8High& t = utf8High();
    std::memcpy(at, t.bytes[b - 0x80], t.size[b - 0x80]);
    return at + t.size[b - 0x80];
}

// A spreadsheet runs a cell beginning with one of these as a formula.
bool startsLikeFormula(QByteArrayView text) {
    return !text.isEmpty() &&
           (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@');
}

class CsvWriter final : public FileWriter {
public:
    CsvWriter(const Target& target, WholeFile::Stream& file) : m_out(file) {
        m_out.put("\xEF\xBB\xBF");
        beginRow();
        for (const Column& column : target.columns)
            cell(Cp1252::encode(column.title));
        endRow();
    }
    void beginRow() override { m_first = true; }
    void cell(QByteArrayView text) override {
        const QByteArrayView t = TextField::trimBlanks(text);
        const bool quoted = std::any_of(t.begin(), t.end(), [](char c) {
            return c == ';' || c == '"' || c == '\r' || c == '\n';
        });
        const qsizetype begin = m_out.size();
        // A separator, two quotes and the apostrophe, then at most 3 bytes a byte.
        char* const start = m_out.extend(4 + 3 * t.size());
        char* at = start;
        if (!m_first)
            *at++ = ';';
        m_first = false;
        if (quoted)
            *at++ = '"';
        // The apostrophe marks the cell as text, so the spreadsheet shows "=1+1" instead
        // of running it; Excel does not show the mark.
        if (startsLikeFormula(t))
            *at++ = '\'';
        for (const char c : t) {
            if (c == '"')
                *at++ = '"';
            at = putUtf8(at, c);
        }
        if (quoted)
            *at++ = '"';
        m_out.truncate(begin + (at - start));
    }
    void endRow() override {
        m_out.put("\r\n");
        m_out.rowDone();
    }
    bool finish() override { return m_out.flush(); }
    bool failed() const override { return m_out.failed(); }

private:
    Chunks m_out;
    bool m_first = true;
};

// "_x" and four hex digits and "_": how an .xlsx writes a character XML cannot hold.
bool looksEscaped(QByteArrayView rest) {
    if (rest.size() < 7 || rest[1] != 'x' || rest[6] != '_')
        return false;
    return std::all_of(rest.begin() + 2, rest.begin() + 6,
                       [](char c) { return std::isxdigit(uchar(c)); });
}

class XlsxWriter final : public FileWriter {
public:
    // The workbook is made in `folder` and copied into `file` when whole.
    XlsxWriter(const Target& target, WholeFile::Stream& file, const QString& folder)
        : m_file(file), m_path(QDir(folder).filePath(QStringLiteral("export.xlsx"))),
          m_tmpdir(NativePath::forCRuntime(folder)) {
        lxw_workbook_options options{};
        // Rows go to a temporary file as they come, strings inline: memory stays flat.
        options.constant_memory = LXW_TRUE;
        options.tmpdir = m_tmpdir.isEmpty() ? nullptr : m_tmpdir.data();
        m_book = workbook_new_opt(NativePath::forXlsxWriter(m_path).constData(), &options);
        if (!m_book) {
            m_ok = false;
            return;
        }
        m_sheet = workbook_add_worksheet(m_book, target.worksheet.toUtf8().constData());
        m_dateFormat = workbook_add_format(m_book);
        format_set_num_format(m_dateFormat, "dd/mm/yyyy");
        format_set_align(m_dateFormat, LXW_ALIGN_LEFT);
        lxw_format* titleFormat = workbook_add_format(m_book);
        format_set_bold(titleFormat);
        if (!m_sheet || !m_dateFormat || !titleFormat) {
            m_ok = false;
            return;
        }
        for (const Column& column : target.columns) {
            // The .xls widths are pixels; a column's width here is in characters of 7.
            m_ok = m_ok && worksheet_set_column(m_sheet, m_col, m_col, column.width / 7.0,
                                                nullptr) == LXW_NO_ERROR;
            m_ok =
                m_ok && worksheet_write_string(m_sheet, 0, m_col, column.title.toUtf8().constData(),
                                               titleFormat) == LXW_NO_ERROR;
            m_dates.append(column.date);
            ++m_col;
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
    }
    ~XlsxWriter() override {
        if (m_book)
            lxw_workbook_free(m_book);
    }
    void beginRow() override {
        ++m_row;
        m_col = 0;
    }
    void cell(QByteArrayView text) override {
        const QByteArrayView t = TextField::trimBlanks(text);
        const lxw_col_t column = m_col++;
        if (t.isEmpty() || !m_ok)
            return;
        if (column < m_dates.size() && m_dates[column]) {
            if (const auto day = readStrictDate(QString::fromLatin1(t))) {
                lxw_datetime at{day->year(), day->month(), day->day(), 0, 0, 0};
                m_ok = worksheet_write_datetime(m_sheet, m_row, column, &at, m_dateFormat) ==
                       LXW_NO_ERROR;
                return;
            }
        }
        m_ok = worksheet_write_string(m_sheet, m_row, column, xmlText(t), nullptr) == LXW_NO_ERROR;
    }
    void endRow() override {}
    bool finish() override {
        if (!m_book || !m_ok)
            return false;
        const lxw_error closed = workbook_close(m_book);
        m_book = nullptr;
        if (closed != LXW_NO_ERROR)
            return false;
        QFile made(m_path);
        if (!made.open(QIODevice::ReadOnly))
            return false;
        QByteArray chunk(kChunk, Qt::Uninitialized);
        for (;;) {
            const qint64 n = made.read(chunk.data(), chunk.size());
            if (n < 0)
                return false;
            if (n == 0)
                return true;
            if (!m_file.write(QByteArrayView(chunk.constData(), n)))
                return false;
        }
    }
    bool failed() const override { return !m_book || !m_ok; }

private:
    // The cell's text in UTF-8, ending in a NUL; a control character, which XML cannot hold,
    // written the way Excel writes it ("_x000D_"), and an underscore that would read as such
    // a code written as "_x005F_".
    const char* xmlText(QByteArrayView t) {
        m_text.resize(7 * t.size() + 1);
        char* at = m_text.data();
        for (qsizetype i = 0; i < t.size(); ++i) {
            const uchar b = uchar(t[i]);
            if ((b < 0x20 && b != '\t' && b != '\n') || (b == '_' && looksEscaped(t.sliced(i)))) {
                std::snprintf(at, 8, "_x%04X_", unsigned(b));
                at += 7;
            } else {
                at = putUtf8(at, char(b));
            }
        }
        *at = '\0';
        return m_text.constData();
    }

    WholeFile::Stream& m_file;
    QString m_path;
    QByteArray m_tmpdir;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_dateFormat = nullptr;
    QList<bool> m_dates;
    lxw_row_t m_row = 0;
    lxw_col_t m_col = 0;
    QByteArray m_text;
    bool m_ok = true;
};

} // namespace

const QList<FormatChoice>& formats() {
    static const QList<FormatChoice> all{
        {Format::Xls, QStringLiteral("Excel (.xls)"), QStringLiteral("XLS"), QStringLiteral("xls")},
        {Format::Xlsx, QStringLiteral("Excel (.xlsx)"), QStringLiteral("XLSX"),
         QStringLiteral("xlsx")},
        {Format::Csv, QStringLiteral("CSV (separatore ;)"), QStringLiteral("CSV"),
         QStringLiteral("csv")},
    };
    return all;
}

const FormatChoice& choice(Format format) {
    for (const FormatChoice& c : formats())
        if (c.format == format)
            return c;
    return formats().front();
}

std::optional<Format> formatOfKey(const QString& key) {
    for (const FormatChoice& c : formats())
        if (key.compare(c.key, Qt::CaseInsensitive) == 0)
            return c.format;
    return std::nullopt;
}

QString fileName(const Target& target, Format format) {
    const qsizetype dot = target.fileName.lastIndexOf(u'.');
    return (dot < 0 ? target.fileName : target.fileName.left(dot)) + u'.' + choice(format).key;
}

Outcome write(const QString& path, Format format, const Target& target, int rowCount,
              const RowSource& rows, const Progress& progress) {
    if (format == Format::Xlsx && rowCount > kXlsxMaxRows)
        return Outcome::TooManyRows;
    WholeFile::Stream file(path);
    std::optional<QTemporaryDir> workbookFolder;
    std::unique_ptr<FileWriter> out;
    switch (format) {
    case Format::Xls:
        out = std::make_unique<XlsWriter>(target, file);
        break;
    case Format::Csv:
        out = std::make_unique<CsvWriter>(target, file);
        break;
    case Format::Xlsx:
        workbookFolder.emplace();
        if (!workbookFolder->isValid())
            return Outcome::Failed;
        out = std::make_unique<XlsxWriter>(target, file, workbookFolder->path());
        break;
    }
    // The .xlsx is packed after its rows: a quarter more of the bar for that.
    const qint64 total = format == Format::Xlsx ? rowCount + rowCount / 4 : rowCount;
    for (int row = 0; row < rowCount; ++row) {
        rows(row, *out);
        if ((row + 1) % kProgressStep == 0 || row + 1 == rowCount) {
            if (out->failed())
                return Outcome::Failed;
            if (progress)
                progress(row + 1, total);
        }
    }
    if (!out->finish() || !file.commit())
        return Outcome::Failed;
    if (progress && total > rowCount)
        progress(total, total);
    return Outcome::Written;
}

QByteArray fileBytes(const Target& target, int rowCount, const CellReader& cell, Format format) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("export"));
    const int columns = int(target.columns.size());
    QByteArray scratch;
    const Outcome outcome = write(path, format, target, rowCount, [&](int row, Writer& out) {
        out.beginRow();
        for (int column = 0; column < columns; ++column)
            out.cell(cell(row, column, scratch));
        out.endRow();
    });
    return outcome == Outcome::Written ? WholeFile::read(path, qint64(1) << 40) : QByteArray();
}
} // namespace Spreadsheet
