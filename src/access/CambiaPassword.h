#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

// Replaces the installation's password: the old one, then the new one twice. Reached from
// the login window, to which it always returns.
class TfrmCambiaPassword : public QWidget {
    Q_OBJECT
public:
    TfrmCambiaPassword();

public slots:
    void changePassword();

protected:
    void showEvent(QShowEvent* event) override;
    // A close from the desktop (the window has no close box) is a "Chiudi".
    void closeEvent(QCloseEvent* event) override;

signals:
    // The window has closed, by either button: the login comes back.
    void closed();

private:
    void updateOk();
    void backToLogin();

    QLineEdit* txtPasswordOld;
    QLineEdit* txtPasswordNew;
    QLineEdit* txtConferma;
    QPushButton* cmdOK;
};
