#include "Cronologia.h"

#include "Guida.h"
#include "HelpTopics.h"
#include "HintLine.h"
#include "Messages.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "WindowPanel.h"
#include "core/RecordArchive.h"
#include "core/RecordLayout.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressBar>
#include <QShowEvent>
#include <QTableView>
#include <QTimer>
#include <array>

namespace {

const QColor kLightGrey(0xEE, 0xED, 0xED);
const QColor kSlateBlue(0x6A, 0x5A, 0xCD);
const QColor kCrimson(0xDC, 0x14, 0x3C);
const QColor kDarkCyan(0x00, 0x8B, 0x8B);
// Journals shorter than this (some 25,000 entries) are read before a progress bar would be.
constexpr qint64 kProgressFromBytes = 4 << 20;
// How many line numbers a warning names before it only counts the rest.
constexpr int kNamedLines = 5;
// The notice over the rows, and the rows under it: they take what the notice leaves.
constexpr QRect kNotice(8, 102, 908, 40);
constexpr QRect kGrid(8, 102, 908, 438);

const QString kInitialHint = QStringLiteral("Cronologia delle modifiche della scheda corrente.");
const QString kReading =
    QStringLiteral("Lettura della cronologia delle modifiche in corso. Attendere...");

// "4", "4 e 9", "4, 9 e 12", "4, 9, 12, 14, 20 e altre 3".
QString lineList(const QList<int>& lines) {
    QStringList named;
    for (int i = 0; i < lines.size() && i < kNamedLines; ++i)
        named << QString::number(lines[i]);
    const qsizetype rest = lines.size() - named.size();
    if (rest > 0)
        return named.join(QStringLiteral(", ")) + QStringLiteral(" e altre %1").arg(rest);
    const QString last = named.takeLast();
    return named.isEmpty() ? last : named.join(QStringLiteral(", ")) + QStringLiteral(" e ") + last;
}

} // namespace

namespace CardHistory {

struct Row {
    QDateTime at;
    Journal::Kind kind;
    QString caption, before, after;
    int save; // which save of the card, from 0
};

// The rows as the journal holds them; the rows of every other save are shaded, so that a
// save reads as one group.
class Model final : public QAbstractTableModel {
public:
    enum Column { At, Kind, Field, Before, After, ColumnCount };

    Model(QObject* parent, const QColor& shade) : QAbstractTableModel(parent), m_shade(shade) {}

    void set(QList<Row> rows) {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        const Row& row = m_rows[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return text(row, index.column());
        case Qt::ToolTipRole:
            // Long texts are cut in their column: the whole text on the pointer.
            return index.column() >= Field ? text(row, index.column()) : QVariant();
        case Qt::BackgroundRole:
            return row.save % 2 ? QVariant(m_shade) : QVariant();
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const std::array<QString, ColumnCount> headers = {
            QStringLiteral("Data e ora"), QStringLiteral("Operazione"), QStringLiteral("Campo"),
            QStringLiteral("Testo precedente"), QStringLiteral("Testo nuovo")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < ColumnCount)
            return headers[std::size_t(section)];
        return {};
    }

private:
    static QString text(const Row& row, int column) {
        switch (column) {
        case At:
            return row.at.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        case Kind:
            return TfrmCronologia::kindText(row.kind);
        case Field:
            return row.caption;
        case Before:
            return row.before;
        case After:
            return row.after;
        default:
            return {};
        }
    }

    QList<Row> m_rows;
    QColor m_shade;
};

} // namespace CardHistory

const QString TfrmCronologia::kNoHistory = QStringLiteral(
    "Questa scheda non ha cronologia: è stata salvata prima che Faldora tenesse la cronologia "
    "delle modifiche delle schede.");
const QString TfrmCronologia::kEarlierHistory = QStringLiteral(
    "Questa scheda è stata inserita in archivio prima che Faldora tenesse la cronologia delle "
    "modifiche: sono elencate soltanto le modifiche successive.");
const QString TfrmCronologia::kChangedSince = QStringLiteral(
    "Attenzione: dopo l'ultimo salvataggio elencato la scheda in archivio è stata cambiata "
    "senza passare dalla cronologia (da una versione di Faldora che non la tiene, o al di "
    "fuori del programma).");
const QString TfrmCronologia::kUnreadable = QStringLiteral(
    "Attenzione: non è stato possibile leggere il file della cronologia delle modifiche «%1»: "
    "le modifiche della scheda non possono essere elencate.");
const QString TfrmCronologia::kAltered = QStringLiteral(
    "Attenzione: il file della cronologia delle modifiche «%1» è stato alterato al di fuori "
    "del programma (%2). Sono elencate le modifiche che è stato possibile leggere, che "
    "potrebbero essere incomplete.");

QString TfrmCronologia::kindText(Journal::Kind kind) {
    switch (kind) {
    case Journal::Kind::New:
        return QStringLiteral("Nuova scheda");
    case Journal::Kind::Rewrite:
        return QStringLiteral("Modifica");
    case Journal::Kind::Duplicate:
        return QStringLiteral("Duplicato salvato");
    case Journal::Kind::Annulment:
        return QStringLiteral("Annullamento");
    case Journal::Kind::Fingerprint:
        return QStringLiteral("Impronta");
    case Journal::Kind::Close:
        break;
    }
    return {};
}

TfrmCronologia::TfrmCronologia(QWidget* opener, Card card)
    : QDialog(opener), m_card(std::move(card)) {
    setObjectName(QStringLiteral("frmCronologia"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Cronologia della scheda"), {953, 620});
    auto* backdrop = new Backdrop(this, kLightGrey, kLightGrey, {924, 588});
    m_content = std::make_unique<WindowPanel>(backdrop->panel(), backdrop, kInitialHint);
    QWidget* panel = backdrop->panel();
    WindowPanel& ui = *m_content;

    ui.addArea("shpSfondo", {8, 8, 908, 65}, Qt::white);
    (new Picture(panel, "imgLogo", artwork("cronologia_banner")))->setGeometry(13, 13, 505, 55);
    const auto tools = ui.addHelpAndExitTools({776, 13}, {862, 15});
    connect(tools.cmdGuida, &QAbstractButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::history()); });
    connect(tools.cmdEsci, &QAbstractButton::clicked, this, &QDialog::accept);

    lblScheda =
        addLabel(panel, "lblScheda", QString(), 8, 80, uiFont(QStringLiteral("Verdana"), 12, true));
    lblConta = addLabel(panel, "lblConta", QString(), 8, 80, uiFont(QStringLiteral("Verdana"), 12),
                        kDarkCyan);
    lblAvviso =
        addLabel(panel, "lblAvviso", QString(), 8, 102, uiFont(QStringLiteral("Verdana"), 11));
    lblAvviso->setGeometry(kNotice);
    lblAvviso->hide();
    lblAvviso->setWordWrap(true);
    lblAvviso->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // One model over the rows of this card only: a journal of a million lines is read once
    // and what the view holds stays small.
    grdCronologia = named(new QTableView(panel), "grdCronologia");
    grdCronologia->setGeometry(kGrid);
    m_model = new CardHistory::Model(this, grdCronologia->palette().color(QPalette::AlternateBase));
    grdCronologia->setModel(m_model);
    grdCronologia->setFont(uiFont(QStringLiteral("Verdana"), 11));
    grdCronologia->verticalHeader()->hide();
    grdCronologia->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdCronologia->verticalHeader()->setDefaultSectionSize(21);
    grdCronologia->horizontalHeader()->setHighlightSections(false);
    grdCronologia->horizontalHeader()->setStretchLastSection(true);
    grdCronologia->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCronologia->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCronologia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCronologia->setWordWrap(false);
    const int widths[] = {146, 130, 200, 208};
    for (int c = 0; c < int(std::size(widths)); ++c)
        grdCronologia->setColumnWidth(c, widths[c]);
    ui.hints()->clearsOn(grdCronologia->viewport());
    // Over the empty list, so that a card without rows says so where the rows would be.
    lblNessuna = addLabel(grdCronologia->viewport(), "lblNessuna",
                          QStringLiteral("Nessuna modifica da elencare."), 0, 0,
                          uiFont(QStringLiteral("Verdana"), 12, true), Qt::darkGray);
    lblNessuna->setAlignment(Qt::AlignCenter);
    lblNessuna->setForegroundRole(QPalette::WindowText);
    lblNessuna->hide();

    const QRect bar(8, 546, 908, 32);
    ui.addHintBar("shpInfo", bar, kSlateBlue, {6, 9});
    prbCronologia = named(new QProgressBar(panel), "prbCronologia");
    prbCronologia->setGeometry(bar.right() - 8 - 240, bar.top() + (bar.height() - 18) / 2, 240, 18);
    prbCronologia->setTextVisible(false);
    prbCronologia->hide();
}

TfrmCronologia::~TfrmCronologia() = default;

void TfrmCronologia::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || m_loaded || m_loading)
        return;
    m_loading = true;
    // Once the window is on the screen, so that a long read shows its progress.
    QTimer::singleShot(0, this, &TfrmCronologia::load);
}

void TfrmCronologia::load() {
    const QString journalPath = Journal::pathFor(m_card.archivePath);
    const QString journalName = QFileInfo(journalPath).fileName();
    const bool showsProgress = QFileInfo(journalPath).size() >= kProgressFromBytes;
    QLabel* panInfo = m_content->panInfo();
    if (showsProgress) {
        panInfo->setText(kReading);
        prbCronologia->setRange(0, 1000);
        prbCronologia->setValue(0);
        prbCronologia->show();
        repaint();
    }
    const auto progress = [&](qint64 done, qint64 total) {
        if (!showsProgress || total <= 0)
            return;
        prbCronologia->setValue(int(done * 1000 / total));
        prbCronologia->repaint();
    };

    QList<CardHistory::Row> rows;
    int save = 0;
    bool inSave = false;
    std::optional<Journal::Kind> firstKind;
    std::optional<QString> lastClose; // the record's SHA-256 after the card's last save
    const auto reading = Journal::read(
        m_card.archivePath, m_card.layout->size(),
        [&](const Journal::Entry& entry) {
            if (entry.position != m_card.position)
                return;
            if (entry.kind == Journal::Kind::Close) {
                lastClose = entry.after;
                if (std::exchange(inSave, false))
                    ++save;
                return;
            }
            if (!firstKind)
                firstKind = entry.kind;
            rows.append({entry.at, entry.kind, m_card.caption(entry.field), entry.before,
                         entry.after, save});
            inSave = true;
        },
        progress, [this](int position) { return position == m_card.position; });
    prbCronologia->hide();
    if (panInfo->text() == kReading)
        panInfo->setText(kInitialHint);

    const RecordArchive archive(m_card.archivePath, *m_card.layout);
    const std::optional<Record> stored = archive.read(m_card.position);
    QString number;
    if (stored && m_card.identity.cardNumber)
        number = m_card.identity.cardNumber(*stored, m_card.position);
    const QString where = number.isEmpty() || number == QString::number(m_card.position)
                              ? QStringLiteral("%1 — scheda in posizione %2")
                                    .arg(m_card.identity.archive)
                                    .arg(m_card.position)
                              : QStringLiteral("%1 — scheda n. %2, in posizione %3")
                                    .arg(m_card.identity.archive, number)
                                    .arg(m_card.position);
    lblScheda->setText(where);
    lblScheda->adjustSize();

    QStringList warnings, remarks;
    if (!reading) {
        warnings << Messages::kArchiveAccessError;
    } else if (!reading->readable) {
        warnings << kUnreadable.arg(journalName);
    } else {
        const QString altered = alteredText(*reading);
        if (!altered.isEmpty())
            warnings << kAltered.arg(journalName, altered);
        else if (rows.isEmpty())
            remarks << kNoHistory;
        else if (*firstKind != Journal::Kind::New && *firstKind != Journal::Kind::Duplicate)
            remarks << kEarlierHistory;
    }
    if (lastClose && stored && *lastClose != QString::fromLatin1(Journal::digest(stored->bytes())))
        warnings << kChangedSince;
    if (!warnings.isEmpty())
        setNotice(warnings.join(u' '), true);
    else
        setNotice(remarks.join(u' '), false);

    const int saves = save + (inSave ? 1 : 0);
    if (!rows.isEmpty()) {
        lblConta->setText(
            QStringLiteral("%1 %2 in %3 %4")
                .arg(rows.size())
                .arg(rows.size() == 1 ? QStringLiteral("modifica") : QStringLiteral("modifiche"))
                .arg(saves)
                .arg(saves == 1 ? QStringLiteral("salvataggio") : QStringLiteral("salvataggi")));
        lblConta->adjustSize();
        lblConta->move(kGrid.right() + 1 - lblConta->width(), 80);
    }
    m_model->set(std::move(rows));
    if (m_model->rowCount() == 0) {
        lblNessuna->setGeometry(grdCronologia->viewport()->rect());
        lblNessuna->show();
    }
    m_loading = false;
    m_loaded = true;
}

void TfrmCronologia::setNotice(const QString& text, bool warning) {
    QPalette pal = lblAvviso->palette();
    pal.setColor(QPalette::WindowText, warning ? kCrimson : kDarkCyan);
    lblAvviso->setPalette(pal);
    lblAvviso->setText(text);
    lblAvviso->setVisible(!text.isEmpty());
    const int height = text.isEmpty() ? 0 : lblAvviso->heightForWidth(kNotice.width());
    lblAvviso->resize(kNotice.width(), height);
    grdCronologia->setGeometry(kGrid.adjusted(0, height ? height + 6 : 0, 0, 0));
}

QString TfrmCronologia::alteredText(const Journal::Reading& reading) const {
    QStringList what;
    if (reading.badHeader)
        what << QStringLiteral("la prima riga non è quella scritta dal programma");
    const QList<int>& damaged = reading.damagedLines;
    if (damaged.size() == 1)
        what << QStringLiteral("la riga %1 è stata modificata o non si legge").arg(damaged.first());
    else if (!damaged.isEmpty())
        what << QStringLiteral("le righe %1 sono state modificate o non si leggono")
                    .arg(lineList(damaged));
    // A line altered breaks the link of the line after it too: that one says nothing more.
    QList<int> broken;
    for (const int line : reading.brokenLinks) {
        if (!damaged.contains(line - 1) && !(reading.badHeader && line == 2))
            broken << line;
    }
    if (broken.size() == 1)
        what << QStringLiteral("mancano righe, o ne sono state aggiunte, prima della riga %1")
                    .arg(broken.first());
    else if (!broken.isEmpty())
        what << QStringLiteral("mancano righe, o ne sono state aggiunte, prima delle righe %1")
                    .arg(lineList(broken));
    return what.join(QStringLiteral("; "));
}
