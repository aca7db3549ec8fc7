#pragma once

#include "ui/CardPrintWindow.h"

// Prints the document card shown, saved or not, on one A4 page ("Scheda Documento").
class TfrmStampaAltri final : public CardPrintWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmStampaAltri)
public:
    TfrmStampaAltri(QWidget* opener, const CardTarget& cardWindow);
};
