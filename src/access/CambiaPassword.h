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
    // Closed by the program (the session ending) it goes back to the login as "Chiudi"
    // does; the desktop's own close request never comes here.
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
