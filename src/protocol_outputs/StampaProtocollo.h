#pragma once

#include "ui/CardPrintWindow.h"

// Prints the protocol card shown, saved or not, on one A4 page ("Scheda Protocollo").
class TfrmStampaProtocollo : public CardPrintWindow {
    Q_OBJECT
public:
    TfrmStampaProtocollo(QWidget* opener, const CardTarget& cardWindow);
};
