#include "CardForm.h"

#include "core/ShortDate.h"
#include "core/TextField.h"

namespace CardForm {

using Report::Align;
using Report::Object;

namespace {

const QColor lightSteelBlue(0xB0, 0xC4, 0xDE);
const QColor gold(0xFF, 0xD7, 0x00);
const QString arial = QStringLiteral("Arial");
const QString footerName = QStringLiteral("txtCalce");

// Every row is 5 mm high, the first at 7 mm; its frame is 4.6 mm high and its texts start
// half a millimetre lower.
constexpr double firstRowTop = 7;
constexpr double rowPitch = 5;

double rowTop(qsizetype index) {
    return firstRowTop + rowPitch * double(index);
}

Object rectangle(const QString& name, const QRectF& rect, const QColor& fill) {
    Object o;
    o.kind = Object::Rectangle;
    o.name = name;
    o.rect = rect;
    o.fill = fill;
    o.outline = Qt::black;
    return o;
}

Object text(const QString& name, const QRectF& rect, const QString& body, double pointSize,
            Align align = Align::Left) {
    return Report::textObject(name, rect, body, arial, pointSize, align);
}

// A line cut at blanks into lines of at most `width` characters (a longer word alone).
QStringList wrapped(const QString& line, int width) {
    QStringList out;
    QString current;
    for (const QString& word : line.split(u' ', Qt::SkipEmptyParts)) {
        if (!current.isEmpty() && current.size() + 1 + word.size() > width) {
            out << current;
            current.clear();
        }
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!current.isEmpty() || out.isEmpty())
        out << current;
    return out;
}

// The mark's box below the footer of a page of `rows` rows.
void addMark(Report::Template& page, qsizetype rows, const QString& mark) {
    const QColor red(0xC0, 0x00, 0x00);
    QStringList lines = mark.split(u'\n');
    const QString head = lines.takeFirst();
    QStringList details;
    for (const QString& line : lines)
        details << wrapped(line, 110);
    const double top = rowTop(rows) + 1 + 5.8 + 4;
    const double lineHeight = 3.6;
    const double height = 9 + lineHeight * double(details.size()) + 2;
    Object box =
        rectangle(QStringLiteral("shpAnnullata"), {1, top, 188, height}, QColor(0xFF, 0xEB, 0xEB));
    box.outline = red;
    page.pageObjects.append(box);
    Object title =
        text(QStringLiteral("titAnnullata"), {2, top + 1, 185.8, 7}, head, 14, Align::Center);
    title.bold = true;
    title.color = red;
    page.pageObjects.append(title);
    if (!details.isEmpty()) {
        Object body =
            text(QStringLiteral("txtAnnullata"),
                 {4, top + 9, 183.8, lineHeight * double(details.size())}, details.join(u'\n'), 8);
        body.color = red;
        page.pageObjects.append(body);
    }
}

} // namespace

Report::Template layout(const Form& form) {
    Report::Template page;
    page.name = form.name;
    page.orientation = Report::Orientation::Portrait;
    page.margin = 10;
    const qsizetype rows = form.rows.size();

    auto& objects = page.pageObjects;
    objects.append(rectangle(QStringLiteral("Shape1"), {1, 1, 188, 5.8}, lightSteelBlue));
    objects.append(
        text(QStringLiteral("titArcataSup"), {2, 2, 185.8, 4.2}, form.title, 9, Align::Center));
    for (qsizetype i = 0; i < rows; ++i)
        objects.append(rectangle(form.rows.at(i).frameName, {1, rowTop(i), 188, 4.6}, QColor()));
    Object line;
    line.kind = Object::Line;
    line.name = QStringLiteral("Line2");
    line.rect = {42, firstRowTop, 0, rowPitch * double(rows) - 0.4};
    objects.append(line);
    for (qsizetype i = 0; i < rows; ++i) {
        const Row& row = form.rows.at(i);
        objects.append(
            text(row.labelName, {2, rowTop(i) + 0.5, row.labelWidth, 3.5}, row.label, 7));
    }
    for (qsizetype i = 0; i < rows; ++i)
        objects.append(text(form.rows.at(i).valueName, {44, rowTop(i) + 0.5, 144, 3.5}, {}, 7));

    const double footerTop = rowTop(rows) + 1;
    objects.append(rectangle(QStringLiteral("Shape23"), {1, footerTop, 188, 5.8}, gold));
    Object footer = text(footerName, {2, footerTop + 1, 185.8, 4.2},
                         QStringLiteral("Data e ora stampa"), 8, Align::Center);
    footer.dateField = true;
    objects.append(footer);
    return page;
}

void fill(Report::Template& page, const Form& form, const FieldSource& field,
          const QDateTime& printedAt) {
    for (const Row& row : form.rows) {
        QString value;
        for (const Part& part : row.value)
            value += part.kind == Part::Field ? TextField::trimBlanks(field(part.text)) : part.text;
        page.setText(row.valueName, value);
    }
    const QString mark =
        form.markName.isEmpty() ? QString() : TextField::trimBlanks(field(form.markName));
    if (!mark.isEmpty())
        addMark(page, form.rows.size(), mark);
    page.setText(footerName, QStringLiteral("Stampa eseguita in data ") +
                                 ShortDate::format(printedAt.date()) +
                                 QStringLiteral(" alle ore ") +
                                 printedAt.time().toString(QStringLiteral("HH:mm:ss")));
}

void addFingerprints(Report::Template& page, const Form& form,
                     const QList<Fingerprints::Shown>& files) {
    if (files.isEmpty())
        return;
    // Under the footer bar, with the gap the form leaves above its first row.
    const double top = rowTop(form.rows.size()) + 1 + 5.8 + 4;
    auto& objects = page.pageObjects;
    objects.append(rectangle(QStringLiteral("shpImpronte"), {1, top, 188, 5.8}, lightSteelBlue));
    objects.append(text(QStringLiteral("titImpronte"), {2, top + 1, 185.8, 4.2},
                        QStringLiteral("IMPRONTE DEI FILE ALLEGATI (SHA-256)"), 9, Align::Center));
    const double first = top + 7;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const Fingerprints::Shown& file = files.at(i);
        const double y = first + rowPitch * double(i);
        const QString n = QString::number(i + 1);
        objects.append(rectangle(QStringLiteral("shpImpronta") + n, {1, y, 188, 4.6}, QColor()));
        objects.append(text(QStringLiteral("lblImpronta") + n, {2, y + 0.5, 37.8, 3.5},
                            Fingerprints::fieldCaption(file.field) + u':', 7));
        const QString sum = file.sha256.isEmpty() ? QStringLiteral("impronta non registrata")
                                                  : QString::fromLatin1(file.sha256);
        objects.append(text(QStringLiteral("txtImpronta") + n, {44, y + 0.5, 144, 3.5},
                            sum + QStringLiteral("  ") + file.name, 7));
    }
    Object line;
    line.kind = Object::Line;
    line.name = QStringLiteral("lineImpronte");
    line.rect = {42, first, 0, rowPitch * double(files.size()) - 0.4};
    objects.append(line);
}

} // namespace CardForm
