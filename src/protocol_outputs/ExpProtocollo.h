#pragma once

#include "ui/GridWindow.h"

// The whole year's register in a grid, exported to the spreadsheet file.
class TfrmExpProtocollo : public GridWindow {
    Q_OBJECT
public:
    TfrmExpProtocollo(QWidget* opener, const QString& registerPath);
};
