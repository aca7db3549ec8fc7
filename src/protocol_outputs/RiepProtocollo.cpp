#include "RiepProtocollo.h"

#include "ProtocolGrid.h"
#include "core/DailyRegister.h"
#include "core/ProtocolRecord.h"
#include "core/ShortDate.h"
#include "core/StrictDate.h"
#include "core/TextField.h"
#include "report/DailyRegisterReport.h"
#include "report/Report.h"
#include "ui/Clock.h"
#include "ui/HintLine.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/Services.h"
#include "ui/Widgets.h"
#include "ui/WindowPanel.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QShowEvent>

namespace {

const QString kValidDate = QStringLiteral("Per poter visualizzare il riepilogo è necessario "
                                          "indicare una data valida.");

GridWindow::Setup setup() {
    GridWindow::Setup s;
    s.caption = QStringLiteral(" Riepilogo protocollo per intervallo di tempo");
    s.clientSize = {953, 620};
    s.panelSize = {924, 588};
    s.topBar = {8, 8, 908, 65};
    s.banner = {"icoBuste", artwork("buste"), {18, 14, 75, 54}};
    s.hand = {656, 31, 31, 25};
    s.esporta = {694, 15};
    s.guida = {776, 13};
    s.esci = {862, 15};
    s.grid = {8, 80, 908, 457};
    s.columns = ProtocolGrid::columns();
    s.hintBar = {8, 546, 908, 32};
    s.hintOffset = {6, 9};
    s.initialHint = QStringLiteral("Riepilogo documenti protocollati in un intervallo di tempo.");
    s.layout = &ProtocolRecord::layout();
    s.target = Spreadsheet::protocolSummary();
    s.help = HelpTopics::protocolSummary();
    s.markColumn = ProtocolGrid::markColumn();
    s.marks = &ProtocolGrid::annulmentMarks;
    return s;
}

} // namespace

TfrmRiepProtocollo::TfrmRiepProtocollo(QWidget* opener, const QString& registerPath)
    : GridWindow(opener, registerPath, setup()) {
    setObjectName(QStringLiteral("frmRiepProtocollo"));
    WindowPanel& ui = content();
    QWidget* panel = ui.panel();
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
    ImageButton* cmdTrova =
        ui.addTool("cmdTrova", artwork("btn_cerca_riepilogo"), {576, 25, 60, 30},
                   QStringLiteral("Visualizza il riepilogo dei documenti protocollati "
                                  "nell'intervallo di tempo selezionato."));

    KeyRules::enterMovesTo(txtDataInizio, txtDataFine);
    KeyRules::enterMovesTo(txtDataFine, nullptr);
    connect(cmdTrova, &QAbstractButton::clicked, this, &TfrmRiepProtocollo::showSummary);

    ImageButton* cmdRegistro = addHintBarTool(
        "cmdRegistro", artwork("registro_giornaliero"), {196, 28},
        QStringLiteral("Stampa il registro giornaliero di protocollo dell'intervallo di tempo "
                       "selezionato."));
    connect(cmdRegistro, &QAbstractButton::clicked, this, &TfrmRiepProtocollo::printDailyRegister);
}

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
    // A card whose registration date does not read as a date is left out; the cards after
    // it are still listed.
    fillGrid([&](const Record& r) {
        const auto registered = readStrictDate(r.text(ProtocolRecord::DataReg));
        return registered && start <= *registered && *registered <= end;
    });
}

void TfrmRiepProtocollo::printDailyRegister() {
    QDate start, end;
    if (!checkDates(start, end))
        return;
    const QString path = archivePath();
    const auto run = DailyRegister::daily(path, start, end);
    if (!run) {
        Messages::error(this, Messages::kArchiveAccessError);
        return;
    }
    const QDateTime now = Clock::now();
    const QString name = QFileInfo(path).fileName();
    const int year = DailyRegister::yearOf(path).value_or(start.year());
    QList<Report::Template> parts{DailyRegisterReport::dailyRegister(*run, name, year, now)};
    if (end >= QDate(year, 12, 31) &&
        Messages::question(this, QStringLiteral("L'intervallo arriva alla fine dell'anno %1: "
                                                "stampare anche la pagina di chiusura dell'anno?")
                                     .arg(year))) {
        const auto closing = DailyRegister::closing(path);
        if (!closing) {
            Messages::error(this, Messages::kArchiveAccessError);
            return;
        }
        parts.append(DailyRegisterReport::yearClosing(*closing, name, year, now));
    }
    const Report::Prepared pages = DailyRegisterReport::prepare(parts, now);
    // The PDF/A copy is kept whether or not the print goes ahead: it is the register's
    // record, and a PDF printer of the system need not make PDF/A.
    const QString copy = keepCopy(pages, start, end);
    Services::printer().print(this, pages);
    if (copy.isEmpty())
        Messages::warning(this,
                          QStringLiteral("Attenzione: non è stato possibile salvare una copia "
                                         "del registro giornaliero in formato PDF/A nella "
                                         "cartella del programma."));
    else
        Messages::information(this, QStringLiteral("Una copia del registro giornaliero in formato "
                                                   "PDF/A è stata salvata nella cartella del "
                                                   "programma con il nome «%1».")
                                        .arg(copy));
}

QString TfrmRiepProtocollo::keepCopy(const Report::Prepared& pages, const QDate& start,
                                     const QDate& end) const {
    const QString iso = QStringLiteral("yyyy-MM-dd");
    QString base = QStringLiteral("Registro_giornaliero_") + start.toString(iso);
    if (end != start)
        base += u'_' + end.toString(iso);
    const QString folder = Services::folder().programFolder();
    // An earlier copy of the same days stays: comparing the two is what it is kept for.
    QString name = base + QStringLiteral(".pdf");
    for (int n = 2; QFileInfo::exists(folder + name); ++n)
        name = QStringLiteral("%1_%2.pdf").arg(base).arg(n);
    return Report::writePdf(pages, folder + name) ? name : QString();
}
