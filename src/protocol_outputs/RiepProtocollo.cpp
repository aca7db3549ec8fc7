#include "RiepProtocollo.h"

#include "ProtocolGrid.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/ShortDate.h"
#include "core/StrictDate.h"
#include "core/TextField.h"
#include "ui/Clock.h"
#include "ui/ExportRun.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/HintLine.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"
#include "ui/WindowPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTableView>

namespace {
const QColor kLightGrey(0xEE, 0xED, 0xED);
const QColor kSlateBlue(0x6A, 0x5A, 0xCD);
const QString kValidDate = QStringLiteral("Per poter visualizzare il riepilogo è necessario "
                                          "indicare una data valida.");
} // namespace

TfrmRiepProtocollo::TfrmRiepProtocollo(QWidget* opener, const QString& registerPath)
    : QDialog(opener), m_registerPath(TextField::trimBlanks(registerPath)),
      m_grid(new RecordGridModel(ProtocolGrid::columns(), this)) {
    setObjectName(QStringLiteral("frmRiepProtocollo"));
    WindowFrame::setupFixedDialog(
        this, QStringLiteral(" Riepilogo protocollo per intervallo di tempo"), {953, 620});
    auto* backdrop = new Backdrop(this, kLightGrey, kLightGrey, {924, 588});
    m_content = std::make_unique<WindowPanel>(
        backdrop->panel(), backdrop,
        QStringLiteral("Riepilogo documenti protocollati in un intervallo di tempo."));
    QWidget* panel = backdrop->panel();
    WindowPanel& ui = *m_content;

    ui.addArea("shpSfondo", {8, 8, 908, 65}, Qt::white);
    (new Picture(panel, "icoBuste", artwork("buste")))->setGeometry(18, 14, 75, 54);
    ui.addArea("sfoSez01", {104, 16, 544, 48}, QColor(0xA1, 0xBA, 0xEA));
    const QFont caption = uiFont(QStringLiteral("Verdana"), 12);
    addLabel(panel, "lblCampo001", QStringLiteral("Protocollati dalla data:"), 112, 32, caption);
    addLabel(panel, "Label1", QStringLiteral("alla data:"), 378, 32, caption);
    const QString dateHint = QStringLiteral("Indica una data nel formato gg/mm/aaa.");
    auto dateField = [&](const char* name, int x) {
        auto* field = named(new QLineEdit(panel), name);
        field->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
        field->setAlignment(Qt::AlignCenter);
        field->setMaxLength(10);
        field->setGeometry(x, 29, 120, 22);
        ui.hints()->setHint(field, dateHint);
        return field;
    };
    txtDataInizio = dateField("txtDataInizio", 250);
    txtDataFine = dateField("txtDataFine", 442);
    cmdTrova = ui.addTool("cmdTrova", artwork("btn_cerca_riepilogo"), {576, 25, 60, 30},
                          QStringLiteral("Visualizza il riepilogo dei documenti protocollati "
                                         "nell'intervallo di tempo selezionato."));
    (new Picture(panel, "icoHand", artwork("mano_piccola")))->setGeometry(656, 31, 31, 25);
    const auto tools = ui.addGridTools({694, 15}, {776, 13}, {862, 15});
    cmdEsporta = tools.cmdEsporta;
    cmdGuida = tools.cmdGuida;
    cmdEsci = tools.cmdEsci;

    grdRecords = createRecordGrid(panel, m_grid, {8, 80, 908, 457});
    ui.hints()->clearsOn(grdRecords->viewport());
    ui.addHintBar("shpInfo", {8, 546, 908, 32}, kSlateBlue, {6, 9});
    panInfo = ui.panInfo();

    KeyRules::enterMovesTo(txtDataInizio, txtDataFine);
    KeyRules::enterMovesTo(txtDataFine, nullptr);
    connect(cmdTrova, &QAbstractButton::clicked, this, &TfrmRiepProtocollo::showSummary);
    connect(cmdEsporta, &QAbstractButton::clicked, this,
            [this] { runExport(this, Spreadsheet::protocolSummary(), *m_grid); });
    connect(cmdGuida, &QAbstractButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::protocolSummary()); });
    connect(cmdEsci, &QAbstractButton::clicked, this, &QDialog::accept);
}

TfrmRiepProtocollo::~TfrmRiepProtocollo() = default;

void TfrmRiepProtocollo::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    txtDataInizio->clear();
    txtDataFine->setText(ShortDate::format(Clock::today()));
    txtDataInizio->setFocus();
}

bool TfrmRiepProtocollo::checkDates(QDate& start, QDate& end) {
    const QString startText = TextField::trimBlanks(txtDataInizio->text());
    const QString endText = TextField::trimBlanks(txtDataFine->text());
    const QString breakLines = QStringLiteral("\n\r\n\r");
    if (startText.isEmpty()) {
        Messages::warning(this,
                          QStringLiteral("Attenzione: per visualizzare il riepilogo è "
                                         "necessario indicare la data di inizio intervallo."));
        txtDataInizio->setFocus();
        return false;
    }
    if (endText.isEmpty()) {
        Messages::warning(this, QStringLiteral("Attenzione: per visualizzare il riepilogo è "
                                               "necessario indicare la data di fine intervallo."));
        txtDataFine->setFocus();
        return false;
    }
    const auto first = readStrictDate(startText);
    if (!first) {
        Messages::notice(this, QStringLiteral("Attenzione: la data ") + startText +
                                   QStringLiteral(" di inizio intervallo non esiste.") +
                                   breakLines + kValidDate);
        txtDataInizio->setFocus();
        return false;
    }
    const auto last = readStrictDate(endText);
    if (!last) {
        Messages::notice(this, QStringLiteral("Attenzione: la data ") + endText +
                                   QStringLiteral(" di fine intervallo non esiste.") + breakLines +
                                   kValidDate);
        txtDataFine->setFocus();
        return false;
    }
    if (*first > *last) {
        Messages::notice(this,
                         QStringLiteral("Attenzione: la data di fine intervallo (") + endText +
                             QStringLiteral(") non può essere anteriore a quella di inizio "
                                            "intervallo (") +
                             startText + QStringLiteral(").") + breakLines +
                             QStringLiteral("Per poter visualizzare il riepilogo è necessario "
                                            "indicare un intervallo di tempo valido."));
        return false;
    }
    start = *first;
    end = *last;
    return true;
}

void TfrmRiepProtocollo::showSummary() {
    QDate start, end;
    if (!checkDates(start, end))
        return;
    bool anyCard = false;
    QList<RecordGridModel::Row> rows;
    // A card whose registration date does not read as a date is left out; the cards after
    // it are still listed.
    RecordArchive(m_registerPath, ProtocolRecord::layout()).scan([&](int, const Record& r) {
        anyCard = true;
        const auto registered = readStrictDate(r.text(ProtocolRecord::DataReg));
        if (registered && start <= *registered && *registered <= end)
            rows.append(m_grid->rowFor(r, int(rows.size()) + 1));
    });
    // An empty register leaves the grid as it was.
    if (anyCard)
        m_grid->setRows(std::move(rows));
}
