#include "ExpProtocollo.h"

#include "ProtocolGrid.h"
#include "core/ProtocolRecord.h"
#include "ui/Widgets.h"

namespace {

GridWindow::Setup setup() {
    GridWindow::Setup s;
    s.caption = QStringLiteral(" Esporta protocollo posta in Microsoft Excel");
    s.clientSize = {862, 560};
    s.panelSize = {837, 533};
    s.topBar = {8, 8, 821, 65};
    s.banner = {"imgLogo", artwork("riepilogo_banner"), {13, 13, 505, 55}};
    s.hand = {528, 32, 31, 25};
    s.esporta = {566, 15};
    s.guida = {670, 13};
    s.esci = {766, 15};
    s.grid = {8, 80, 821, 409};
    s.columns = ProtocolGrid::columns();
    s.hintBar = {8, 493, 821, 32};
    s.hintOffset = {6, 6};
    s.initialHint = QStringLiteral("Esportazione archivio in Microsoft Excel.");
    s.layout = &ProtocolRecord::layout();
    s.target = Spreadsheet::protocolExport();
    s.help = HelpTopics::protocolExport();
    s.loadsOnOpen = true;
    return s;
}

} // namespace

TfrmExpProtocollo::TfrmExpProtocollo(QWidget* opener, const QString& registerPath)
    : GridWindow(opener, registerPath, setup()) {
    setObjectName(QStringLiteral("frmExpProtocollo"));
}
