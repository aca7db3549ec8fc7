#pragma once

#include "core/Backup.h"

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The window of a long action on the whole program folder (the backup, the check and the
// restore of a backup): a title, what the action does, a progress bar and "Annulla". It
// stands over its opener and closes itself when the action ends; the opener then says how
// it went.
class TfrmOperazione final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmOperazione)
public:
    TfrmOperazione(QWidget* opener, const char* name, const QString& title,
                   const QString& explanation);
    ~TfrmOperazione() override;

    // Shows the window and runs `work` in it, giving the window its turn as the work reports
    // progress; returns when the work has ended and the window is closed.
    void run(const std::function<void(Backup::Control& control)>& work);
    bool cancelled() const { return m_control.cancel; }

protected:
    void reject() override;

private:
    void showProgress();

    Backup::Control m_control;
    bool m_running = false;
    QProgressBar* prbAvanzamento = nullptr;
    QPushButton* btnAnnulla = nullptr;
};
