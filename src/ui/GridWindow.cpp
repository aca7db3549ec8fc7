#include "GridWindow.h"

#include "ExportRun.h"
#include "FormatButton.h"
#include "Guida.h"
#include "HintLine.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "WindowPanel.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"

#include <QProgressBar>
#include <QTableView>

namespace {
const QColor kLightGrey(0xEE, 0xED, 0xED);
const QColor kSlateBlue(0x6A, 0x5A, 0xCD);
// Exports of fewer rows end before a progress bar would be read.
constexpr int kProgressFromRows = 20000;
} // namespace

GridWindow::Setup GridWindow::exportWindow() {
    Setup s;
    s.clientSize = {862, 560};
    s.panelSize = {837, 533};
    s.topBar = {8, 8, 821, 65};
    s.banner = {"imgLogo", {}, {13, 13, 505, 55}};
    s.hand = {528, 32, 31, 25};
    s.esporta = {566, 15};
    s.guida = {670, 13};
    s.esci = {766, 15};
    s.grid = {8, 80, 821, 409};
    s.hintBar = {8, 493, 821, 32};
    s.hintOffset = {6, 6};
    s.initialHint = QStringLiteral("Esportazione archivio in Microsoft Excel.");
    s.loadsOnOpen = true;
    return s;
}

GridWindow::GridWindow(QWidget* opener, const QString& archivePath, Setup setup)
    : QDialog(opener), m_archivePath(TextField::trimBlanks(archivePath)), m_setup(std::move(setup)),
      m_grid(new RecordGridModel(m_setup.columns, this)) {
    WindowFrame::setupFixedDialog(this, m_setup.caption, m_setup.clientSize);
    auto* backdrop = new Backdrop(this, kLightGrey, kLightGrey, m_setup.panelSize);
    m_content = std::make_unique<WindowPanel>(backdrop->panel(), backdrop, m_setup.initialHint);
    QWidget* panel = backdrop->panel();
    WindowPanel& ui = *m_content;

    ui.addArea("shpSfondo", m_setup.topBar, Qt::white);
    (new Picture(panel, m_setup.banner.name, m_setup.banner.resource))
        ->setGeometry(m_setup.banner.rect);
    (new Picture(panel, "icoHand", artwork("mano_piccola")))->setGeometry(m_setup.hand);
    const auto tools = ui.addGridTools(m_setup.esporta, m_setup.guida, m_setup.esci);
    // The top bar's free strip under the hand, which points at the export.
    const QRect hand = m_setup.hand;
    cmdFormato =
        new FormatButton(panel, ui.hints(), {hand.center().x() - 21, hand.bottom() + 3, 42, 13});
    QTableView* grdRecords = createRecordGrid(panel, m_grid, m_setup.grid);
    ui.hints()->clearsOn(grdRecords->viewport());
    ui.addHintBar("shpInfo", m_setup.hintBar, kSlateBlue, m_setup.hintOffset);
    prbEsporta = named(new QProgressBar(panel), "prbEsporta");
    const QRect bar = m_setup.hintBar;
    prbEsporta->setGeometry(bar.right() - 8 - 240, bar.top() + (bar.height() - 18) / 2, 240, 18);
    prbEsporta->setTextVisible(false);
    prbEsporta->hide();

    connect(tools.cmdEsporta, &QAbstractButton::clicked, this, &GridWindow::exportGrid);
    connect(tools.cmdGuida, &QAbstractButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, m_setup.help); });
    connect(tools.cmdEsci, &QAbstractButton::clicked, this, &QDialog::accept);
    if (m_setup.loadsOnOpen)
        fillGrid();
}

GridWindow::~GridWindow() = default;

ImageButton* GridWindow::addHintBarTool(const char* name, const QString& resource,
                                        const QSize& size, const QString& hint) {
    const QRect bar = m_setup.hintBar;
    ImageButton* tool = m_content->addTool(
        name, resource,
        {QPoint(bar.right() - 3 - size.width(), bar.top() + (bar.height() - size.height()) / 2),
         size},
        hint);
    tool->stackUnder(prbEsporta);
    return tool;
}

void GridWindow::fillGrid(const std::function<bool(const Record&)>& listed) {
    bool anyCard = false;
    RecordGridModel::Rows rows = m_grid->makeRows(*m_setup.layout);
    const RecordArchive archive(m_archivePath, *m_setup.layout);
    rows.reserve(archive.count().value_or(0));
    const QHash<int, QString> byPosition =
        m_setup.marks ? m_setup.marks(m_archivePath) : QHash<int, QString>();
    QHash<int, QString> byRow;
    const auto noteMark = [&](int position) {
        if (!byPosition.isEmpty()) {
            const auto found = byPosition.constFind(position);
            if (found != byPosition.constEnd())
                byRow.insert(rows.size(), *found);
        }
    };
    if (listed) {
        archive.scan([&](int position, const Record& record) {
            anyCard = true;
            if (listed(record)) {
                noteMark(position);
                rows.add(record.bytes());
            }
        });
    } else {
        // Every card: straight from the bytes read, without a record for each.
        archive.scanBytes([&](int position, QByteArrayView record) {
            anyCard = true;
            noteMark(position);
            rows.add(record);
        });
    }
    if (anyCard) {
        m_grid->setRows(std::move(rows));
        if (!byRow.isEmpty())
            m_grid->setRowMarks(m_setup.markColumn, std::move(byRow));
    }
}

void GridWindow::exportGrid() {
    const bool shows = m_grid->rowCount() >= kProgressFromRows;
    runExport(this, m_setup.target, cmdFormato->format(), *m_grid,
              [this, shows](qint64 done, qint64 total) {
                  if (!shows)
                      return;
                  if (prbEsporta->isHidden()) {
                      prbEsporta->setRange(0, int(total));
                      prbEsporta->show();
                  }
                  prbEsporta->setValue(int(done));
                  prbEsporta->repaint();
              });
    prbEsporta->hide();
}
