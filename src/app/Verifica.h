#pragma once

#include "core/ArchiveCheck.h"

#include <QDialog>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class FindingsModel;

// "Verifica archivio": runs the archive check over the program folder with a progress bar
// and a Cancel button, lists what it found and prints the report. A
// double click on a finding about a card closes the window and hands the card to the opener.
class TfrmVerifica final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmVerifica)
public:
    explicit TfrmVerifica(QWidget* opener);
    ~TfrmVerifica() override;

    // Starts the check; the window shows its progress and then its findings.
    void start();
    // True from the start until the findings are shown.
    bool running() const;
    const ArchiveCheck::Result& result() const { return m_result; }
    // The finding double-clicked, once the window has closed on it.
    const std::optional<ArchiveCheck::Finding>& chosen() const { return m_chosen; }

protected:
    void reject() override;

private:
    void showProgress();
    void finished();
    // What the check found, in one sentence (for the window and the printed report).
    QString summary() const;
    void cancel();
    void print();
    void open(const QModelIndex& index);

    ArchiveCheck::Control m_control;
    ArchiveCheck::Result m_result;
    std::optional<ArchiveCheck::Finding> m_chosen;
    bool m_started = false;
    bool m_finished = false;
    bool m_closeWhenDone = false;
    FindingsModel* m_model = nullptr;
    QLabel* lblEsito = nullptr;
    QProgressBar* prbVerifica = nullptr;
    QPushButton* btnAnnulla = nullptr;
    QPushButton* btnStampa = nullptr;
    QTableView* tblRisultati = nullptr;
};
