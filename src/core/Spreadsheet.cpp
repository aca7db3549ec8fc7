#include "Spreadsheet.h"

#include "Cp1252.h"
#include "TextField.h"
#include "WholeFile.h"

#include <algorithm>
#include <cstring>

namespace Spreadsheet {
namespace {

QList<Column> protocolColumns() {
    return {
        {QStringLiteral("N. protocollo"), 200},
        {QStringLiteral("Tipologia posta"), 250},
        {QStringLiteral("Data registrazione"), 200},
        {QStringLiteral("Ufficio"), 250},
        {QStringLiteral("Operatore"), 250},
        {QStringLiteral("Categoria"), 250},
        {QStringLiteral("Collocazione documento cartaceo"), 300},
        {QStringLiteral("Oggetto"), 300},
        {QStringLiteral("Data spedizione"), 200},
        {QStringLiteral("Data ricezione"), 200},
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
                {QStringLiteral("Data produzione"), 200},
                {QStringLiteral("Destinatario"), 250},
                {QStringLiteral("Indirizzo destinatario"), 250},
                {QStringLiteral("Data ricezione"), 200},
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

Writer::Writer(const Target& target, qsizetype rowCount, qsizetype cellBytes) {
    const QByteArray top = head(target);
    const qsizetype perRow =
        kRowOpen.size() + kRowClose.size() +
        qsizetype(target.columns.size()) * (kCellOpen.size() + kCellClose.size());
    // A little room over the estimate for escaped characters.
    m_out.reserve(top.size() + rowCount * perRow + cellBytes + cellBytes / 32 + kTail.size() +
                  4096);
    put(top);
}

void Writer::put(QByteArrayView bytes) {
    m_out.append(bytes.data(), bytes.size());
}

void Writer::beginRow() {
    put(kRowOpen);
}

void Writer::cell(QByteArrayView text) {
    const QByteArrayView t = TextField::trimBlanks(text);
    // Room for the worst case, every byte an entity; what is left over is given back at once.
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

void Writer::endRow() {
    put(kRowClose);
}

QByteArrayView Writer::finish() {
    put(kTail);
    return QByteArrayView(m_out.data(), m_out.size());
}

QByteArray fileBytes(const Target& target, int rowCount, const CellReader& cell) {
    Writer out(target, rowCount);
    const int columns = int(target.columns.size());
    QByteArray scratch;
    for (int row = 0; row < rowCount; ++row) {
        out.beginRow();
        for (int column = 0; column < columns; ++column)
            out.cell(cell(row, column, scratch));
        out.endRow();
    }
    return out.finish().toByteArray();
}

bool write(const QString& path, QByteArrayView bytes) {
    return WholeFile::replace(path, bytes);
}

} // namespace Spreadsheet
