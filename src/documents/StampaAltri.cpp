#include "StampaAltri.h"

#include "report/Templates.h"

TfrmStampaAltri::TfrmStampaAltri(QWidget* opener, const CardTarget& cardWindow)
    : CardPrintWindow(opener, cardWindow, Templates::documentCard()) {
    setObjectName(QStringLiteral("frmStampaAltri"));
}
