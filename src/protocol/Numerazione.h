#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The numbering settings window: the start number of the protocol numbering and whether
// the year follows the number, kept in the settings file for the protocol card window
// that opened it (tag "protocollo" in lblMemory).
class TfrmNumerazione : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNumerazione(QWidget* opener);

    QLabel* lblMemory;
    QGroupBox* grpNumerazione;
    QLineEdit* txtInizio;
    QCheckBox* chkTipo;
    QPushButton* btnAnnulla;
    QPushButton* btnApplica;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isForProtocol() const;
    void apply();
};
