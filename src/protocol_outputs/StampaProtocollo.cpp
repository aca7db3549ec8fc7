#include "StampaProtocollo.h"

#include "report/Templates.h"

TfrmStampaProtocollo::TfrmStampaProtocollo(QWidget* opener, const CardTarget& cardWindow)
    : CardPrintWindow(opener, cardWindow, Templates::protocolCard()) {
    setObjectName(QStringLiteral("frmStampaProtocollo"));
}
