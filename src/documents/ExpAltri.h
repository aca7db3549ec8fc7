#pragma once

#include "ui/GridWindow.h"

// The whole document card index in a grid, exported to "Schedario_Documenti.xls".
class TfrmExpAltri final : public GridWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmExpAltri)
public:
    // Shows the cards of the index file at `indexPath` (created empty when missing).
    TfrmExpAltri(QWidget* opener, const QString& indexPath);
};
