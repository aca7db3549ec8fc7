#include "DailyRegisterReport.h"

#include "core/ShortDate.h"

#include <QLocale>
#include <QStringList>

#include <functional>
#include <iterator>

namespace DailyRegisterReport {

using Report::Align;
using Report::Object;

namespace {

const QColor slateGrey(0x70, 0x80, 0x90);
const QColor lightSteelBlue(0xB0, 0xC4, 0xDE);
const QString arial = QStringLiteral("Arial");

constexpr double kWidth = 277; // A4 landscape less the margins
constexpr double kHeight = 190;
constexpr double kLine = 4.2; // one row of 8-point text
constexpr int kWrapAt = 200;  // characters of 8-point Arial a full-width line holds

// The columns of a day's rows: left edge and width in mm.
struct Column {
    const char* heading;
    double left, width;
};
constexpr Column kColumns[] = {
    {"N. protocollo", 0, 27}, {"Data reg.", 28, 20},
    {"Tipologia", 49, 20},    {"Mittente / Destinatario", 70, 70},
    {"Oggetto", 141, 136},
};

QString stamp(const QDateTime& at) {
    return QStringLiteral("Stampa eseguita in data ") + ShortDate::format(at.date()) +
           QStringLiteral(" alle ore ") + at.time().toString(QStringLiteral("HH:mm:ss"));
}

// Words gathered into lines of at most `width` characters (a longer word alone on its line).
QStringList wrapped(const QString& text, int width = kWrapAt) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty() || lines.isEmpty())
        lines << line;
    return lines;
}

Object text(const QRectF& rect, const QString& content, double points, bool bold = false,
            Align align = Align::Left) {
    Object o = Report::textObject(QStringLiteral("txtRiga"), rect, content, arial, points, align);
    o.bold = bold;
    return o;
}

// Lays objects out page after page under a heading that every page repeats. The report
// engine's bands cannot repeat the column headings on each page nor keep a day's heading
// with its first rows, so the register places its objects itself, on the engine's pages.
class Pages {
public:
    Pages(QString title, QString subtitle)
        : m_title(std::move(title)), m_subtitle(std::move(subtitle)) {
        newPage();
    }

    // Room for `height` mm, on a new page when this one has less.
    bool ensure(double height) {
        if (m_y + height <= kHeight + 1e-6)
            return false;
        newPage();
        if (m_continued)
            m_continued();
        return true;
    }

    void add(Object o, double top) {
        o.rect.moveTop(m_y + o.rect.top() + top);
        m_pages.last().objects.append(Report::Placed{o});
    }
    void advance(double height) { m_y += height; }

    // A line of text over the whole width.
    void line(const QString& content, double points = 8, bool bold = false,
              const QString& family = arial) {
        ensure(kLine);
        Object o = text({0, 0, kWidth, kLine}, content, points, bold);
        o.fontFamily = family;
        add(o, 0);
        advance(kLine);
    }
    void paragraph(const QString& content, double points = 8, bool bold = false) {
        for (const QString& l : wrapped(content))
            line(l, points, bold);
    }
    void bar(const QString& content, const QColor& fill, double points) {
        Object back;
        back.kind = Object::Rectangle;
        back.name = QStringLiteral("shpGiorno");
        back.rect = {0, 0.5, kWidth, 5.5};
        back.fill = fill;
        add(back, 0);
        add(text({1.5, 0.5, kWidth - 3, 5.5}, content, points, true), 0);
        advance(6.5);
    }
    void rule() {
        Object o;
        o.kind = Object::Line;
        o.name = QStringLiteral("linRiga");
        o.rect = {0, 0, kWidth, 0};
        add(o, 0);
    }

    // What a page that goes on with a block begins with, after the page's heading.
    void setContinued(std::function<void()> continued) { m_continued = std::move(continued); }

    QList<Report::Page> pages() const { return m_pages; }

private:
    void newPage() {
        m_pages.append(Report::Page{});
        m_y = 0;
        Object title = text({0, 0, kWidth, 7}, m_title, 12, true, Align::Center);
        title.fill = slateGrey;
        title.color = Qt::white;
        title.name = QStringLiteral("txtTitolo");
        add(title, 0);
        Object subtitle = text({0, 8, kWidth, 5}, m_subtitle, 9, false, Align::Center);
        subtitle.name = QStringLiteral("txtIntervallo");
        add(subtitle, 0);
        m_y = 16;
    }

    QString m_title, m_subtitle;
    QList<Report::Page> m_pages;
    double m_y = 0;
    std::function<void()> m_continued;
};

void columnHeadings(Pages& pages) {
    for (const Column& c : kColumns)
        pages.add(text({c.left, 0, c.width, kLine}, QString::fromUtf8(c.heading), 8, true), 0);
    pages.advance(kLine);
    pages.rule();
    pages.advance(0.6);
}

QString dayText(const QDate& date) {
    return QStringLiteral("Giorno ") + ShortDate::format(date) + QStringLiteral(" (") +
           QLocale(QLocale::Italian).dayName(date.dayOfWeek()) + QStringLiteral(")");
}

void notes(Pages& pages, const DailyRegister::Notes& n, bool undated) {
    if (undated && n.undated > 0)
        pages.paragraph(n.undated == 1
                            ? QStringLiteral("1 scheda senza data di registrazione valida: non è "
                                             "elencata.")
                            : QStringLiteral("%1 schede senza data di registrazione valida: non "
                                             "sono elencate.")
                                  .arg(n.undated));
    if (!n.damaged.isEmpty()) {
        QStringList positions;
        for (int p : n.damaged)
            positions << QString::number(p);
        pages.paragraph(QStringLiteral("Schede danneggiate (un campo dichiara più caratteri di "
                                       "quanti ne possa contenere), posizioni: ") +
                        positions.join(QStringLiteral(", ")) +
                        QStringLiteral(". Usare «Verifica archivio» dal menu principale."));
    }
    if (n.annulmentsDamaged)
        pages.paragraph(QStringLiteral("Il file delle schede annullate non si può leggere per "
                                       "intero: gli annullamenti indicati possono essere "
                                       "incompleti."));
    if (n.journalUnreadable)
        pages.paragraph(QStringLiteral("La cronologia delle modifiche non si può leggere: "
                                       "l'impronta comprende soltanto le schede."));
    else if (n.journalBadLines > 0)
        pages.paragraph(QStringLiteral("La cronologia delle modifiche ha %1 righe alterate, tolte "
                                       "o aggiunte fuori dal programma: usare «Verifica archivio» "
                                       "dal menu principale.")
                            .arg(n.journalBadLines));
}

// The last block: the SHA-256, how it is computed and the moment of printing, on one page.
void digestBlock(Pages& pages, const QString& what, const QByteArray& digest,
                 const QDateTime& printedAt) {
    const QStringList rule = wrapped(digestRule(), 210);
    pages.ensure(kLine * double(4 + rule.size()) + 3);
    pages.advance(2);
    pages.rule();
    pages.advance(1);
    pages.line(what, 9, true);
    Object hex = text({0, 0, kWidth, 5}, QString::fromLatin1(digest), 10, true);
    hex.fontFamily = QStringLiteral("Courier New");
    hex.name = QStringLiteral("txtImpronta");
    pages.add(hex, 0);
    pages.advance(5.5);
    for (const QString& l : rule)
        pages.line(l, 7.5);
    pages.advance(1);
    pages.line(stamp(printedAt), 8, true);
}

Report::Template templateOf(const QString& name, const QList<Report::Page>& pages) {
    // The pages are laid out already: each stands as one band of its own page height.
    Report::Template t;
    t.name = name;
    t.orientation = Report::Orientation::Landscape;
    for (const Report::Page& page : pages) {
        Report::Band band{Report::Band::MasterData, QStringLiteral("Pagina"), kHeight, {}};
        for (const Report::Placed& p : page.objects)
            band.objects.append(p.object);
        t.bands.append(band);
    }
    return t;
}

QString rangeText(const QString& registerName, int year, const QDate& first, const QDate& last) {
    return QStringLiteral("Registro di protocollo dell'anno %1 (%2) - dal %3 al %4")
        .arg(year)
        .arg(registerName, ShortDate::format(first), ShortDate::format(last));
}

QString listOf(const QStringList& items) {
    return items.isEmpty() ? QStringLiteral("nessuno") : items.join(QStringLiteral(", "));
}

} // namespace

QString digestRule() {
    return QStringLiteral(
        "Come si calcola l'impronta: SHA-256 dei byte di ciascuna scheda elencata, così come "
        "sono nel file del registro (3403 byte per scheda), nell'ordine di questa stampa, "
        "seguiti dalle righe della cronologia delle modifiche (il file del registro con "
        "l'aggiunta di .cronologia) che riguardano quelle schede, nell'ordine del file, "
        "ciascuna senza il proprio fine riga e seguita da CR LF. Stampando di nuovo lo stesso "
        "intervallo si ottiene la stessa impronta finché le schede e la loro cronologia non "
        "cambiano.");
}

Report::Template dailyRegister(const DailyRegister::Register& run, const QString& registerName,
                               int year, const QDateTime& printedAt) {
    Pages pages(QStringLiteral("Registro giornaliero di protocollo"),
                rangeText(registerName, year, run.first, run.last));
    if (run.days.isEmpty())
        pages.paragraph(QStringLiteral("Nessuna scheda registrata dal %1 al %2.")
                            .arg(ShortDate::format(run.first), ShortDate::format(run.last)),
                        9, true);
    for (const DailyRegister::Day& day : run.days) {
        // A day's heading goes with its first rows.
        pages.ensure(6.5 + kLine + 0.6 + kLine * 2);
        pages.bar(dayText(day.date), lightSteelBlue, 9);
        columnHeadings(pages);
        pages.setContinued([&pages, &day] {
            pages.bar(dayText(day.date) + QStringLiteral(" - segue"), lightSteelBlue, 9);
            columnHeadings(pages);
        });
        int annulled = 0;
        for (const DailyRegister::Card& card : day.cards) {
            const double height = card.annulment ? 2 * kLine : kLine;
            pages.ensure(height);
            const QString subject =
                card.annulment ? Annulments::kListMark + card.subject : card.subject;
            const QString cells[] = {card.number, card.registered, card.type, card.correspondent,
                                     subject};
            for (std::size_t i = 0; i < std::size(kColumns); ++i)
                pages.add(text({kColumns[i].left, 0, kColumns[i].width, kLine}, cells[i], 8,
                               card.annulment && i == 0),
                          0);
            pages.advance(kLine);
            if (card.annulment) {
                ++annulled;
                Object mark = text({kColumns[2].left, 0, kWidth - kColumns[2].left, kLine},
                                   Annulments::markText(*card.annulment), 7.5, true);
                mark.color = QColor(0xB0, 0x20, 0x20);
                mark.name = QStringLiteral("txtAnnullata");
                pages.add(mark, 0);
                pages.advance(kLine);
            }
        }
        pages.setContinued({});
        pages.ensure(kLine + 1.5);
        pages.advance(0.5);
        pages.rule();
        pages.advance(0.3);
        QString totals = QStringLiteral("Primo numero: %1      Ultimo numero: %2      Schede "
                                        "registrate: %3")
                             .arg(day.firstNumber(), day.lastNumber())
                             .arg(day.cards.size());
        if (annulled > 0)
            totals += QStringLiteral("      di cui annullate: %1").arg(annulled);
        pages.line(totals, 8, true);
        pages.advance(3);
    }
    pages.line(QStringLiteral("Totale delle schede elencate: %1").arg(run.count()), 9, true);
    notes(pages, run.notes, true);
    digestBlock(pages,
                QStringLiteral("Impronta SHA-256 delle schede elencate e della loro "
                               "cronologia:"),
                run.digest, printedAt);
    return templateOf(QStringLiteral("Registro giornaliero di protocollo"), pages.pages());
}

Report::Template yearClosing(const DailyRegister::Closing& closing, const QString& registerName,
                             int year, const QDateTime& printedAt) {
    Pages pages(
        QStringLiteral("Chiusura dell'anno %1").arg(year),
        QStringLiteral("Registro di protocollo dell'anno %1 (%2)").arg(year).arg(registerName));
    pages.line(QStringLiteral("Schede nel registro: %1").arg(closing.total), 9, true);
    pages.line(QStringLiteral("Primo numero: %1      Ultimo numero: %2")
                   .arg(closing.firstNumber.isEmpty() ? QStringLiteral("-") : closing.firstNumber,
                        closing.lastNumber.isEmpty() ? QStringLiteral("-") : closing.lastNumber),
               9, true);
    QStringList gaps;
    for (const DailyRegister::Closing::Gap& g : closing.gaps)
        gaps << (g.from == g.to ? QString::number(g.from)
                                : QStringLiteral("da %1 a %2").arg(g.from).arg(g.to));
    pages.paragraph(QStringLiteral("Numeri saltati: ") + listOf(gaps));
    if (!closing.twice.isEmpty()) {
        QStringList twice;
        for (qint64 n : closing.twice)
            twice << QString::number(n);
        pages.paragraph(QStringLiteral("Numeri dati a più schede: ") + listOf(twice));
    }
    if (!closing.unnumbered.isEmpty()) {
        QStringList positions;
        for (int p : closing.unnumbered)
            positions << QString::number(p);
        pages.paragraph(QStringLiteral("Schede senza un numero di protocollo valido, posizioni: ") +
                        listOf(positions));
    }
    pages.advance(2);
    pages.line(QStringLiteral("Numeri annullati: %1").arg(closing.annulled.size()), 9, true);
    for (const DailyRegister::Card& card : closing.annulled)
        pages.paragraph(card.number + QStringLiteral(" - ") +
                        Annulments::markText(*card.annulment));
    notes(pages, closing.notes, false);
    digestBlock(
        pages,
        QStringLiteral("Impronta SHA-256 di tutte le schede dell'anno, in ordine di numero, "
                       "e della loro cronologia:"),
        closing.digest, printedAt);
    return templateOf(QStringLiteral("Chiusura dell'anno %1").arg(year), pages.pages());
}

Report::Prepared prepare(const QList<Report::Template>& parts, const QDateTime& printedAt) {
    Report::Prepared all;
    for (const Report::Template& part : parts) {
        const Report::Prepared p = Report::prepare(part, printedAt);
        if (all.pages.isEmpty()) {
            all.name = p.name;
            all.orientation = p.orientation;
            all.margin = p.margin;
        }
        all.pages += p.pages;
    }
    const qsizetype count = all.pages.size();
    for (qsizetype i = 0; i < count; ++i) {
        // In the bottom margin, under the printable area.
        Object number =
            text({0, kHeight + 2, kWidth, 4},
                 QStringLiteral("Pagina %1 di %2").arg(i + 1).arg(count), 7, false, Align::Right);
        number.name = QStringLiteral("txtPagina");
        all.pages[i].objects.append(Report::Placed{number});
    }
    return all;
}

} // namespace DailyRegisterReport
