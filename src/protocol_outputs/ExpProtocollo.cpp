#include "ExpProtocollo.h"

#include "ProtocolGrid.h"
#include "core/ProtocolRecord.h"
#include "ui/Widgets.h"

namespace {

GridWindow::Setup setup() {
    GridWindow::Setup s = GridWindow::exportWindow();
    s.caption = QStringLiteral(" Esporta protocollo posta in Microsoft Excel");
    s.banner.resource = artwork("riepilogo_banner");
    s.columns = ProtocolGrid::columns();
    s.layout = &ProtocolRecord::layout();
    s.target = Spreadsheet::protocolExport();
    s.help = HelpTopics::protocolExport();
    s.markColumn = ProtocolGrid::markColumn();
    s.marks = &ProtocolGrid::annulmentMarks;
    return s;
}

} // namespace

TfrmExpProtocollo::TfrmExpProtocollo(QWidget* opener, const QString& registerPath)
    : GridWindow(opener, registerPath, setup()) {
    setObjectName(QStringLiteral("frmExpProtocollo"));
}
