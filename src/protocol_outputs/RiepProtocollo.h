#pragma once

#include "ui/GridWindow.h"

class QLineEdit;
namespace Report {
struct Prepared;
}

// The summary of the cards registered between two dates, in a grid that can be exported.
class TfrmRiepProtocollo : public GridWindow {
    Q_OBJECT
public:
    TfrmRiepProtocollo(QWidget* opener, const QString& registerPath);

public slots:
    void showSummary();
    // The daily register of the dates typed, printed; with the year's closing page when the
    // range reaches the register's last day and the user wants it. A PDF/A copy is kept in
    // the program folder ("Registro_giornaliero_2026-03-02_2026-03-06.pdf").
    void printDailyRegister();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool checkDates(QDate& start, QDate& end);
    // Writes the PDF/A copy under a name no earlier copy has; its name, or empty on failure.
    QString keepCopy(const Report::Prepared& pages, const QDate& start, const QDate& end) const;

    QLineEdit* txtDataInizio;
    QLineEdit* txtDataFine;
};
