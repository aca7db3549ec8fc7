#include "DailyRegister.h"

#include "Journal.h"
#include "Numbering.h"
#include "ProtocolRecord.h"
#include "RecordFile.h"
#include "StrictDate.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <functional>
#include <limits>
#include <tuple>

namespace DailyRegister {
namespace {

constexpr int kPerBlock = 256;
// Cards whose number is no protocol number go after the numbered ones, in file order.
constexpr qint64 kUnnumbered = std::numeric_limits<qint64>::max();

struct Listed {
    QDate date; // invalid when DataReg is no date
    qint64 order = kUnnumbered;
    Card card;
};

struct Gathered {
    QList<Listed> cards; // in listed order
    Notes notes;
    QByteArray digest;
    int total = 0;
};

Card cardOf(const ProtocolRecord& r, int position, bool details) {
    Card card;
    card.position = position;
    card.number = r.text(ProtocolRecord::Numero);
    if (details) {
        card.registered = r.text(ProtocolRecord::DataReg);
        card.type = r.text(ProtocolRecord::Tipologia);
        card.correspondent = correspondentOf(card.type, r.text(ProtocolRecord::Mittente),
                                             r.text(ProtocolRecord::Destinatario));
        card.subject = r.text(ProtocolRecord::Oggetto);
    }
    return card;
}

// Reads the register once for the cards `accept` takes, sorts them by `byDay` (day, then
// number) or by number alone, and computes the digest over them. `details`: keep every
// printed text of each card, or only the number (and all of an annulled card).
std::optional<Gathered> gather(const QString& path,
                               const std::function<bool(const std::optional<QDate>&)>& accept,
                               bool byDay, bool details) {
    const RecordLayout& layout = ProtocolRecord::layout();
    const int size = layout.size();
    RecordFile file(size);
    if (!file.open(path, RecordFile::Access::Read))
        return std::nullopt;
    const auto count = file.count();
    if (!count || !file.seek(0))
        return std::nullopt;
    // Under the register's shared lock: a copy annulling a card holds the exclusive one
    // while it writes this file.
    const Annulments::Reading annulments = Annulments::read(path);

    Gathered g;
    g.total = *count;
    g.notes.annulmentsDamaged = annulments.damaged();
    QByteArray block;
    int position = 0;
    while (position < *count) {
        if (!file.readBlock(std::min(kPerBlock, *count - position), block) || block.isEmpty())
            return std::nullopt;
        for (qsizetype at = 0; at + size <= block.size(); at += size) {
            ++position;
            const ProtocolRecord record(block.mid(at, size));
            const auto registered = readStrictDate(record.text(ProtocolRecord::DataReg));
            if (!registered)
                ++g.notes.undated;
            if (!accept(registered))
                continue;
            const Annulments::Annulment* annulment = annulments.find(position);
            Listed l;
            l.date = registered.value_or(QDate());
            l.card = cardOf(record, position, details || annulment);
            if (annulment)
                l.card.annulment = *annulment;
            l.order = Numbering::progressive(l.card.number).value_or(kUnnumbered);
            if (!layout.overlongFields(QByteArrayView(block).sliced(at, size)).isEmpty())
                g.notes.damaged.append(position);
            g.cards.append(std::move(l));
        }
    }
    std::stable_sort(g.cards.begin(), g.cards.end(), [byDay](const Listed& a, const Listed& b) {
        if (byDay && a.date != b.date)
            return a.date < b.date;
        return std::tie(a.order, a.card.position) < std::tie(b.order, b.card.position);
    });

    QCryptographicHash hash(QCryptographicHash::Sha256);
    QSet<int> wanted;
    QByteArray bytes;
    for (const Listed& l : g.cards) {
        if (!file.seek(l.card.position - 1) || !file.read(bytes))
            return std::nullopt;
        hash.addData(bytes);
        wanted.insert(l.card.position);
    }
    const Journal::Reading journal = Journal::read(
        file, path,
        [&](const Journal::Entry& entry) {
            // The reader checked the line's own SHA-256 against the line as stored; the line
            // made again from its entry is the stored one when that digest comes out the same.
            Journal::Entry again = entry;
            const QByteArray line = Journal::line(again);
            if (again.own != entry.own)
                ++g.notes.journalBadLines;
            hash.addData(line);
            hash.addData(Journal::kLineEnd);
            ++g.notes.journalLinesHashed;
        },
        {}, [&wanted](int p) { return wanted.contains(p); });
    g.notes.journalUnreadable = journal.exists && !journal.readable;
    g.notes.journalBadLines +=
        int(journal.damagedLines.size() + journal.brokenLinks.size()) + (journal.badHeader ? 1 : 0);
    g.digest = hash.result().toHex();
    return g;
}

} // namespace

int Register::count() const {
    int n = 0;
    for (const Day& d : days)
        n += int(d.cards.size());
    return n;
}

std::optional<Register> daily(const QString& registerPath, const QDate& first, const QDate& last) {
    const auto g = gather(
        registerPath,
        [&](const std::optional<QDate>& date) { return date && first <= *date && *date <= last; },
        true, true);
    if (!g)
        return std::nullopt;
    Register r;
    r.first = first;
    r.last = last;
    r.notes = g->notes;
    r.digest = g->digest;
    for (const Listed& l : g->cards) {
        if (r.days.isEmpty() || r.days.last().date != l.date)
            r.days.append(Day{l.date, {}});
        r.days.last().cards.append(l.card);
    }
    return r;
}

std::optional<Closing> closing(const QString& registerPath) {
    const auto g = gather(
        registerPath, [](const std::optional<QDate>&) { return true; }, false, false);
    if (!g)
        return std::nullopt;
    Closing c;
    c.total = g->total;
    c.notes = g->notes;
    c.digest = g->digest;
    qint64 previous = -1;
    for (const Listed& l : g->cards) {
        if (l.card.annulment)
            c.annulled.append(l.card);
        if (l.order == kUnnumbered) {
            c.unnumbered.append(l.card.position);
            continue;
        }
        if (c.firstNumber.isEmpty())
            c.firstNumber = l.card.number;
        c.lastNumber = l.card.number;
        if (l.order == previous) {
            if (c.twice.isEmpty() || c.twice.last() != l.order)
                c.twice.append(l.order);
        } else if (previous >= 0 && l.order > previous + 1) {
            c.gaps.append({previous + 1, l.order - 1});
        }
        previous = l.order;
    }
    std::sort(c.unnumbered.begin(), c.unnumbered.end());
    return c;
}

std::optional<int> yearOf(const QString& registerPath) {
    const QFileInfo info(registerPath);
    const QString base = info.completeBaseName();
    if (info.suffix() != QLatin1String("prt") || base.size() != 4 ||
        !std::all_of(base.begin(), base.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return base.toInt();
}

QString correspondentOf(const QString& type, const QString& sender, const QString& addressee) {
    if (type == MailType::Entrata)
        return sender;
    if (type == MailType::Uscita)
        return addressee;
    if (sender.isEmpty() || addressee.isEmpty())
        return sender + addressee;
    return sender + QStringLiteral(" / ") + addressee;
}

} // namespace DailyRegister
