#include "DaCompletare.h"

#include "TrovaAltri.h"
#include "core/DocumentRecord.h"
#include "core/Search.h"
#include "ui/CardTarget.h"
#include "ui/ResultList.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

TfrmDaCompletare::TfrmDaCompletare(QWidget* opener, CardTarget* cardWindow) : QDialog(opener) {
    setObjectName(QStringLiteral("frmDaCompletare"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Riepilogo documenti da completare"),
                                  {862, 560});
    auto* backdrop = new Backdrop(this, Qt::black, Qt::white, {833, 529});
    m_results = new ResultList(
        backdrop->panel(),
        {.banner = artwork("da_completare_banner"),
         .printTitle = QStringLiteral("Riepilogo documenti da completare"),
         .layout = &DocumentRecord::layout(),
         .line = TfrmTrovaAltri::resultLine(),
         .tabOrder = {"txtTrova", "lstRecords", "btnStampa", "btnTrova", "btnChiudi"}},
        cardWindow);
    connect(m_results, &ResultList::closeRequested, this, &QDialog::reject);
    connect(m_results, &ResultList::cardLoaded, this, &QDialog::accept);

    // The lines of the marked cards; a failed read keeps those read before it, silently.
    m_results->list(Search::fieldIs(DocumentRecord::layout(), DocumentRecord::DaCompletare,
                                    DocumentRecord::Yes));
    m_results->startFinding();
}

QStringList TfrmDaCompletare::lines() const {
    return m_results->lines();
}
