#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

// The year selection: the user types the year whose register the protocol card window
// opens. The hidden tag lblMemory says where closing the window leads: "avvio" back to
// the main menu, "protocollo" on to the card window.
class TfrmMenuProtocollo : public QWidget {
    Q_OBJECT
public:
    TfrmMenuProtocollo();

signals:
    // Closed after "Apri" with a valid year (trimmed), or closed otherwise.
    void yearChosen(const QString& year);
    void closedWithoutYear();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void openYear();

    QLineEdit* txtAnnoPreventivi;
    QLabel* lblMemory;
};
