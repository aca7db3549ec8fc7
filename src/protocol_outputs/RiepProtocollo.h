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
    // The daily register of the dates typed, printed; with the year's closing page when the
    // range reaches the register's last day and the user wants it.
    void printDailyRegister();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool checkDates(QDate& start, QDate& end);

    QLineEdit* txtDataInizio;
    QLineEdit* txtDataFine;
};
