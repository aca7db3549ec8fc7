#include "ExpProtocollo.h"

#include "ProtocolGrid.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"
#include "ui/ExportRun.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/HintLine.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"
#include "ui/WindowPanel.h"

#include <QTableView>

namespace {
const QColor kLightGrey(0xEE, 0xED, 0xED);
const QColor kSlateBlue(0x6A, 0x5A, 0xCD);
} // namespace

TfrmExpProtocollo::TfrmExpProtocollo(QWidget* opener, const QString& registerPath)
    : QDialog(opener), m_grid(new RecordGridModel(ProtocolGrid::columns(), this)) {
    setObjectName(QStringLiteral("frmExpProtocollo"));
    WindowFrame::setupFixedDialog(
        this, QStringLiteral(" Esporta protocollo posta in Microsoft Excel"), {862, 560});
    auto* backdrop = new Backdrop(this, kLightGrey, kLightGrey, {837, 533});
    m_content = std::make_unique<WindowPanel>(
        backdrop->panel(), backdrop, QStringLiteral("Esportazione archivio in Microsoft Excel."));
    QWidget* panel = backdrop->panel();
    WindowPanel& ui = *m_content;

    ui.addArea("shpSfondo", {8, 8, 821, 65}, Qt::white);
    (new Picture(panel, "imgLogo", artwork("riepilogo_banner")))->setGeometry(13, 13, 505, 55);
    (new Picture(panel, "icoHand", artwork("mano_piccola")))->setGeometry(528, 32, 31, 25);
    const auto tools = ui.addGridTools({566, 15}, {670, 13}, {766, 15});
    cmdEsporta = tools.cmdEsporta;
    cmdGuida = tools.cmdGuida;
    cmdEsci = tools.cmdEsci;
    grdRecords = createRecordGrid(panel, m_grid, {8, 80, 821, 409});
    ui.hints()->clearsOn(grdRecords->viewport());
    ui.addHintBar("shpInfo", {8, 493, 821, 32}, kSlateBlue, {6, 6});
    panInfo = ui.panInfo();

    connect(cmdEsporta, &QAbstractButton::clicked, this,
            [this] { runExport(this, Spreadsheet::protocolExport(), *m_grid); });
    connect(cmdGuida, &QAbstractButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::protocolExport()); });
    connect(cmdEsci, &QAbstractButton::clicked, this, &QDialog::accept);
    loadGrid(TextField::trimBlanks(registerPath));
}

TfrmExpProtocollo::~TfrmExpProtocollo() = default;

void TfrmExpProtocollo::loadGrid(const QString& registerPath) {
    QList<RecordGridModel::Row> rows;
    // A failed read keeps the rows read so far; an empty register the ten empty rows.
    RecordArchive(registerPath, ProtocolRecord::layout()).scan([&](int position, const Record& r) {
        rows.append(m_grid->rowFor(r, position));
    });
    if (!rows.isEmpty())
        m_grid->setRows(std::move(rows));
}
