#include "Spreadsheet.h"

#include "Cp1252.h"
#include "TextField.h"

#include <QSaveFile>

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

QString escaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == u'&')
            out += QLatin1String("&amp;");
        else if (c == u'<')
            out += QLatin1String("&lt;");
        else if (c == u'>')
            out += QLatin1String("&gt;");
        else
            out += c;
    }
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

QByteArray fileBytes(const Target& target, int rowCount,
                     const std::function<QString(int, int)>& cell) {
    QString text;
    text += QLatin1String("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                          "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
                          "xmlns=\"http://www.w3.org/TR/REC-html40\">");
    text += QLatin1String("<head>"
                          "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=windows-1252\">"
                          "<!--[if gte mso 9]><xml>"
                          "<x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet><x:Name>");
    text += escaped(target.worksheet);
    text += QLatin1String("</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane>"
                          "<x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow>"
                          "</x:Pane></x:Panes>"
                          "<x:ProtectContents>False</x:ProtectContents>"
                          "<x:ProtectObjects>False</x:ProtectObjects>"
                          "<x:ProtectScenarios>False</x:ProtectScenarios>"
                          "</x:WorksheetOptions></x:ExcelWorksheet></x:ExcelWorksheets>"
                          "</x:ExcelWorkbook></xml><![endif]-->"
                          "</head><body><table x:str><tr>");
    for (const Column& column : target.columns) {
        text += QLatin1String("<td style=\"text-align: left; font-weight: bold;\" width=");
        text +=
            QString::number(column.width) + u'>' + escaped(column.title) + QLatin1String("</td>");
    }
    text += QLatin1String("</tr>");
    // Row by row, so a large archive is held once, in bytes.
    QByteArray out = Cp1252::encode(text);
    const int columns = int(target.columns.size());
    for (int row = 0; row < rowCount; ++row) {
        text = QStringLiteral("<tr>");
        for (int column = 0; column < columns; ++column) {
            text += QLatin1String("<td style=\"text-align: left;\">");
            text += escaped(TextField::trimBlanks(cell(row, column)));
            text += QLatin1String("</td>");
        }
        text += QLatin1String("</tr>");
        out += Cp1252::encode(text);
    }
    out += "</table></body></html>";
    return out;
}

bool write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace Spreadsheet
