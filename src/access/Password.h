#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

// The login window, first of every run: the installation's password opens the main menu.
class TfrmPassword : public QWidget {
    Q_OBJECT
public:
    TfrmPassword();

    // Back from the change-password window: the field empty and ready for typing.
    void startOver();

public slots:
    void checkPassword();

signals:
    // The run's hand-overs, wired by the window registry.
    void passwordAccepted();
    void changePasswordRequested();
    void exitRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateOk();

    QLineEdit* txtPassword;
    QPushButton* cmdOK;
};
