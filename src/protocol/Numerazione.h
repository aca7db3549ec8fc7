#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

// The numbering settings window: the start number of the protocol numbering and whether
// the year follows the number, kept in the settings file for the protocol card window
// that opened it (tag "protocollo" in lblMemory).
class TfrmNumerazione : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNumerazione(QWidget* opener);

    // Says which card window opened it: ArchiveTag::Protocol keeps the numbering in the
    // settings file.
    void setOpenerTag(const QString& tag);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isForProtocol() const;
    void apply();

    QLabel* lblMemory;
    QLineEdit* txtInizio;
    QCheckBox* chkTipo;
};
