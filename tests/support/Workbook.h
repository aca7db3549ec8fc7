#pragma once

// Reads the first worksheet of an .xlsx back, through libzip and Qt's XML reader: each cell's
// text, and whether it is a date (a number with the workbook's "dd/mm/yyyy" format), which
// comes back as its day in that form.
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QXmlStreamReader>
#include <zip.h>

namespace Workbook {

struct Cell {
    QString text;
    bool date = false;
    friend bool operator==(const Cell&, const Cell&) = default;
};
using Row = QList<Cell>;

// Rows without any cell written come back empty, and rows after the last written are not
// there at all.
struct Sheet {
    bool readable = false;
    QString name;
    QList<Row> rows;
};

namespace detail {

inline QByteArray entry(zip_t* archive, const char* name) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, name, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        return {};
    zip_file_t* file = zip_fopen(archive, name, 0);
    if (!file)
        return {};
    QByteArray bytes(qsizetype(stat.size), '\0');
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    zip_fclose(file);
    return read == zip_int64_t(stat.size) ? bytes : QByteArray();
}

// "_x000D_" back to its character, "_x005F_" back to "_".
inline QString unescaped(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bool ok = false;
        const uint code = text.mid(i + 2, 4).toUInt(&ok, 16);
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && ok &&
            text[i + 6] == u'_') {
            out += QChar(char16_t(code));
            i += 6;
        } else {
            out += text[i];
        }
    }
    return out;
}

inline int columnOf(QStringView reference) {
    int column = 0;
    for (const QChar c : reference) {
        if (!c.isLetter())
            break;
        column = column * 26 + (c.unicode() - u'A' + 1);
    }
    return column - 1;
}

} // namespace detail

inline Sheet read(const QByteArray& bytes) {
    Sheet sheet;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source =
        zip_source_buffer_create(bytes.constData(), zip_uint64_t(bytes.size()), 0, &error);
    zip_t* archive =
        source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (!archive) {
        if (source)
            zip_source_free(source);
        return sheet;
    }
    const QByteArray workbook = detail::entry(archive, "xl/workbook.xml");
    const QByteArray styles = detail::entry(archive, "xl/styles.xml");
    const QByteArray cells = detail::entry(archive, "xl/worksheets/sheet1.xml");
    zip_discard(archive);

    for (QXmlStreamReader xml(workbook); !xml.atEnd();)
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet")
            sheet.name = xml.attributes().value(QLatin1String("name")).toString();
    // The cell formats in order, and which of them show a date.
    QList<int> dateFormats;
    QList<bool> dateStyles;
    bool inCellFormats = false;
    for (QXmlStreamReader xml(styles); !xml.atEnd();) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && xml.name() == u"numFmt" &&
            xml.attributes().value(QLatin1String("formatCode")) == u"dd/mm/yyyy")
            dateFormats << xml.attributes().value(QLatin1String("numFmtId")).toInt();
        else if (xml.name() == u"cellXfs")
            inCellFormats = token == QXmlStreamReader::StartElement;
        else if (token == QXmlStreamReader::StartElement && inCellFormats && xml.name() == u"xf")
            dateStyles << dateFormats.contains(
                xml.attributes().value(QLatin1String("numFmtId")).toInt());
    }
    Cell* cell = nullptr;
    bool number = false;
    qsizetype current = -1;
    for (QXmlStreamReader xml(cells); !xml.atEnd();) {
        const auto token = xml.readNext();
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"row") {
            // A row without cells is not written: the rows go by their number.
            current = xml.attributes().value(QLatin1String("r")).toInt() - 1;
            cell = nullptr;
            if (current >= sheet.rows.size())
                sheet.rows.resize(current + 1);
        } else if (xml.name() == u"c" && current >= 0) {
            Row& row = sheet.rows[current];
            const int column = detail::columnOf(xml.attributes().value(QLatin1String("r")));
            if (column >= row.size())
                row.resize(column + 1);
            cell = &row[column];
            const int style = xml.attributes().value(QLatin1String("s")).toInt();
            number = xml.attributes().value(QLatin1String("t")).isEmpty();
            cell->date = number && style < dateStyles.size() && dateStyles[style];
        } else if (cell && xml.name() == u"t") {
            cell->text = detail::unescaped(xml.readElementText());
        } else if (cell && xml.name() == u"v" && number) {
            const QString value = xml.readElementText();
            cell->text = cell->date ? QDate(1899, 12, 30)
                                          .addDays(value.toLongLong())
                                          .toString(QStringLiteral("dd/MM/yyyy"))
                                    : value;
        }
    }
    sheet.readable = !cells.isEmpty();
    return sheet;
}

} // namespace Workbook
