#include "ResultList.h"

#include "CardTarget.h"
#include "Clock.h"
#include "KeyRules.h"
#include "Messages.h"
#include "Services.h"
#include "Widgets.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"
#include "report/Templates.h"

#include <QAbstractListModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace {
const QColor kDarkCyan(0x00, 0x8B, 0x8B);
const QColor kCrimson(0xDC, 0x14, 0x3C);
} // namespace

namespace ResultLines {

// The lines in list order: built from cards and kept as their bytes, each turned into
// text when the view shows it, or given as text. Lines built from several archives lie in
// blocks, one per archive in the order listed, each line after its archive's prefix.
class Model : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    struct Block {
        QString prefix;
        QString archivePath; // empty: the card window's archive
        Search::LineList lines;
    };

    void set(Search::LineList lines) {
        std::vector<Block> blocks;
        blocks.push_back({{}, {}, std::move(lines)});
        set(std::move(blocks));
    }
    void set(std::vector<Block> blocks) {
        beginResetModel();
        m_blocks = std::move(blocks);
        m_starts.clear();
        qsizetype start = 0;
        for (const Block& block : m_blocks) {
            m_starts.push_back(start);
            start += block.lines.size();
        }
        m_builtCount = start;
        m_given.clear();
        m_isGiven = false;
        endResetModel();
    }
    void set(QStringList lines) {
        beginResetModel();
        m_given = std::move(lines);
        m_blocks.clear();
        m_starts.clear();
        m_builtCount = 0;
        m_isGiven = true;
        endResetModel();
    }

    int count() const { return int(m_isGiven ? m_given.size() : m_builtCount); }
    bool isGivenText() const { return m_isGiven; }
    // The block of a built line and the line's place in it.
    std::pair<const Block*, qsizetype> locate(int row) const {
        const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), qsizetype(row));
        const auto block = std::size_t(after - m_starts.begin()) - 1;
        return {&m_blocks[block], row - m_starts[block]};
    }
    QString text(int row) const {
        if (m_isGiven)
            return m_given[row];
        const auto [block, line] = locate(row);
        return block->prefix + block->lines.text(line);
    }
    QStringList texts() const {
        if (m_isGiven)
            return m_given;
        QStringList out;
        out.reserve(count());
        for (const Block& block : m_blocks) {
            for (qsizetype i = 0; i < block.lines.size(); ++i)
                out.append(block.prefix + block.lines.text(i));
        }
        return out;
    }
    int find(Search::ListFinder& finder, int selected, const QString& typed) const {
        if (m_isGiven)
            return finder.find(m_given, selected, typed);
        // On the lines' bytes, each after its prefix's: no text made per line.
        std::vector<Search::ListFinder::Block> blocks;
        for (const Block& block : m_blocks) {
            const std::optional<QByteArray> prefix = Search::exactBytes(block.prefix);
            if (!prefix)
                return finder.find(count(), selected, typed, [this](int row, const QString& key) {
                    return Search::foldAZ(text(row)).contains(key);
                });
            blocks.push_back({*prefix, &block.lines});
        }
        return finder.find(blocks, selected, typed);
    }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : count();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= count())
            return {};
        return text(index.row());
    }

private:
    std::vector<Block> m_blocks;
    std::vector<qsizetype> m_starts; // each block's first row
    qsizetype m_builtCount = 0;
    QStringList m_given;
    bool m_isGiven = false;
};

} // namespace ResultLines

ResultList::ResultList(QWidget* panel, Setup setup, CardTarget* cardWindow)
    : QWidget(panel), m_setup(std::move(setup)), m_cardWindow(cardWindow),
      m_model(new ResultLines::Model(this)) {
    setGeometry(0, 0, 833, 529);
    (new Picture(this, "imgLogo", m_setup.banner))->setGeometry(8, 8, 817, 53);
    const QFont text = uiFont(QStringLiteral("Verdana"), 11);
    addLabel(
        this, "lblRigo01",
        QStringLiteral("Immettere una o più parole consecutive presenti nella scheda in elenco "
                       "da cercare e premere il pulsante Trova."),
        8, 66, text, Qt::white);
    addLabel(this, "lblRigo02",
             QStringLiteral("Per spostarsi sulla voce successiva contenente la stessa chiave di "
                            "ricerca, fare di nuovo clic su Trova."),
             8, 82, text, Qt::white);
    (new Shape(this, "shpLente", Qt::white))->setGeometry(8, 104, 81, 57);
    (new Picture(this, "imgLente", artwork("lente")))->setGeometry(8, 104, 81, 57);
    (new Shape(this, "shpSfondo", Qt::black, QColor(), Qt::white))->setGeometry(96, 104, 729, 57);
    txtTrova = named(new QLineEdit(this), "txtTrova");
    txtTrova->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    txtTrova->setGeometry(112, 122, 593, 22);
    QPushButton* btnTrova =
        addButton(this, QStringLiteral("btnTrova"), QStringLiteral("Trova"), {710, 117, 105, 30});
    (new Shape(this, "shpLista", Qt::black, QColor(), Qt::white))->setGeometry(8, 168, 817, 313);

    // One model over the sorted lines, items of one height: 100,000 lines stay quick.
    lstRecords = named(new QListView(this), "lstRecords");
    lstRecords->setGeometry(16, 176, 801, 273);
    lstRecords->setModel(m_model);
    lstRecords->setUniformItemSizes(true);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    courier.setPixelSize(12);
    lstRecords->setFont(courier);

    addLabel(
        this, "lblRigo03",
        QStringLiteral("Per richiamare i dati di una scheda, selezionarla con un doppio clic."), 16,
        456, text, kCrimson);
    QPushButton* btnChiudi =
        addButton(this, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), {8, 488, 150, 30});
    if (m_setup.countLine)
        lblTrovate =
            addLabel(this, "lblTrovate", QStringLiteral("Il presente elenco contiene 0 schede."),
                     177, 494, uiFont(QStringLiteral("Verdana"), 12), kDarkCyan);
    QPushButton* btnStampa =
        addButton(this, QStringLiteral("btnStampa"), QStringLiteral("Stampa"), {675, 488, 150, 30});

    for (qsizetype i = 1; i < m_setup.tabOrder.size(); ++i)
        setTabOrder(findChild<QWidget*>(QLatin1String(m_setup.tabOrder[i - 1])),
                    findChild<QWidget*>(QLatin1String(m_setup.tabOrder[i])));

    KeyRules::enterMovesTo(txtTrova, btnTrova);
    connect(btnTrova, &QPushButton::clicked, this, &ResultList::findInList);
    connect(btnChiudi, &QPushButton::clicked, this, &ResultList::closeRequested);
    // Anywhere in the list, not only on a line: below the lines, or in an empty list, the
    // double click still closes the window.
    lstRecords->viewport()->installEventFilter(this);
    connect(btnStampa, &QPushButton::clicked, this, &ResultList::printList);
}

void ResultList::setLines(QStringList lines) {
    Search::sortForList(lines);
    m_model->set(std::move(lines));
    linesChanged();
}

void ResultList::setLines(Search::LineList lines) {
    lines.sort();
    m_model->set(std::move(lines));
    linesChanged();
}

void ResultList::linesChanged() {
    if (lblTrovate) {
        lblTrovate->setText(
            QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(m_model->count()));
        lblTrovate->adjustSize();
    }
    m_finder.reset();
    selectFirst();
}

bool ResultList::list(const Search::CardTest& listed, const RecordArchive::Progress& progress) {
    Search::LineList found(*m_setup.layout, m_setup.line);
    const bool read =
        scan(TextField::trimBlanks(m_cardWindow->archivePath()), listed, progress, found);
    setLines(std::move(found));
    return read;
}

QStringList ResultList::listAll(const QList<Source>& sources, const Search::CardTest& listed,
                                const RecordArchive::Progress& progress) {
    // The progress runs once over the cards of every archive.
    QList<int> counts;
    int total = 0;
    for (const Source& source : sources) {
        counts << RecordArchive(source.path, *m_setup.layout).count().value_or(0);
        total += counts.last();
    }
    std::vector<ResultLines::Model::Block> blocks;
    QStringList failed;
    int before = 0;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        Search::LineList found(*m_setup.layout, m_setup.line);
        const auto within = [&](int done, int) {
            if (progress)
                progress(before + done, total);
        };
        if (!scan(sources[i].path, listed, within, found))
            failed << sources[i].path;
        before += counts[i];
        found.sort();
        blocks.push_back({sources[i].prefix, sources[i].path, std::move(found)});
    }
    m_model->set(std::move(blocks));
    linesChanged();
    return failed;
}

bool ResultList::scan(const QString& path, const Search::CardTest& listed,
                      const RecordArchive::Progress& progress, Search::LineList& found) const {
    const RecordArchive archive(path, *m_setup.layout);
    const LineMarker marker = m_setup.marker ? m_setup.marker(archive.path()) : LineMarker();
    // Room for every card's line, asked for once: only what the lines fill is used.
    found.reserve(archive.count().value_or(0));
    return archive.scanBytes(
        [&](int position, QByteArrayView record) {
            if (listed && !listed(record))
                return;
            const auto marked = marker ? marker(position, record) : std::nullopt;
            found.add(marked ? QByteArrayView(*marked) : record);
        },
        progress);
}

QStringList ResultList::lines() const {
    return m_model->texts();
}

int ResultList::selectedLine() const {
    // A click below the lines takes the highlight away but leaves the current line: only
    // a line shown selected counts.
    const QModelIndex current = lstRecords->currentIndex();
    return current.isValid() && lstRecords->selectionModel()->isSelected(current) ? current.row()
                                                                                  : -1;
}

void ResultList::restart() {
    m_finder.reset();
    selectFirst();
    txtTrova->clear();
}

void ResultList::startFinding() {
    txtTrova->clear();
    txtTrova->setFocus();
}

void ResultList::selectFirst() {
    if (m_model->count() > 0)
        lstRecords->setCurrentIndex(m_model->index(0));
}

void ResultList::findInList() {
    if (m_model->count() == 0) {
        Messages::notice(window(), QStringLiteral("Ricerca non applicabile: la lista non contiene "
                                                  "nessuna voce."));
        return;
    }
    const int at = m_model->find(m_finder, selectedLine(), txtTrova->text());
    lstRecords->setCurrentIndex(m_model->index(at));
    lstRecords->scrollTo(m_model->index(at));
}

bool ResultList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstRecords->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        loadSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ResultList::loadSelected() {
    const int selected = selectedLine();
    std::optional<QByteArray> chosen;
    QString archivePath;
    if (selected >= 0 && (!m_setup.mayLoad || m_setup.mayLoad())) {
        QString text = m_model->text(selected);
        if (m_model->count() > 0 && !m_model->isGivenText()) {
            const auto [block, line] = m_model->locate(selected);
            text = block->lines.text(line);
            archivePath = block->archivePath;
        }
        // A chosen line with a character outside the code page is no card's line.
        chosen = Search::exactBytes(TextField::trimBlanks(text));
    }
    // A line of another archive (another year's register) brings the card window there; a
    // window that cannot go there gets no card, never a twin card of its own archive.
    if (chosen && !archivePath.isEmpty() &&
        archivePath != TextField::trimBlanks(m_cardWindow->archivePath())) {
        if (m_setup.openArchive)
            m_setup.openArchive(archivePath);
        if (archivePath != TextField::trimBlanks(m_cardWindow->archivePath()))
            chosen.reset();
    }
    if (chosen) {
        // Every card whose line is the chosen one is loaded in file order, so of several the
        // last stays shown. A failed read keeps what was loaded before it.
        const RecordArchive archive(TextField::trimBlanks(m_cardWindow->archivePath()),
                                    *m_setup.layout);
        const Search::LineMaker maker(*m_setup.layout, m_setup.line);
        const LineMarker marker = m_setup.marker ? m_setup.marker(archive.path()) : LineMarker();
        QByteArray line;
        archive.scanBytes([&](int position, QByteArrayView record) {
            line.truncate(0);
            const auto marked = marker ? marker(position, record) : std::nullopt;
            maker.append(marked ? QByteArrayView(*marked) : record, line);
            if (TextField::trimBlanks(QByteArrayView(line)) == QByteArrayView(*chosen))
                m_cardWindow->loadCard(Record(*m_setup.layout, record.toByteArray()), position);
        });
    }
    emit cardLoaded();
}

void ResultList::printList() {
    Report::Template list = Templates::searchList();
    Templates::fillList(list, m_setup.printTitle, m_model->texts());
    Services::printer().print(window(), Report::prepare(list, Clock::now()));
}
