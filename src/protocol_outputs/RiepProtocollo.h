#pragma once

#include "ui/GridWindow.h"

class QLineEdit;

// The summary of the cards registered between two dates, in a grid that can be exported.
class TfrmRiepProtocollo : public GridWindow {
    Q_OBJECT
public:
    TfrmRiepProtocollo(QWidget* opener, const QString& registerPath);

public slots:
    void showSummary();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool checkDates(QDate& start, QDate& end);

    QLineEdit* txtDataInizio;
    QLineEdit* txtDataFine;
};
