#include "Password.h"

#include "PasswordField.h"
#include "core/Credential.h"
#include "core/TextField.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

TfrmPassword::TfrmPassword() {
    setObjectName(QStringLiteral("frmPassword"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Faldora - Accesso"), {388, 405});
    auto* backdrop = new Backdrop(this, QColor(0x46, 0x82, 0xB4), Qt::white, {360, 378});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSfondo", QColor(0x46, 0x82, 0xB4), Qt::white, Qt::white))
        ->setGeometry(8, 8, 344, 265);
    (new Picture(panel, "imgLogo", artwork("login_logo")))->setGeometry(16, 16, 328, 160);
    (new Shape(panel, "shpTitolo", QColor(0x7D, 0xA9, 0xCD), Qt::white, Qt::white))
        ->setGeometry(16, 184, 328, 81);
    addLabel(panel, "lblRigo05", QStringLiteral("Immetti la password e premi OK."), 36, 200,
             uiFont(QStringLiteral("Verdana"), 12));
    txtPassword = PasswordField::create(panel, "txtPassword", {36, 222, 230, 22});

    cmdOK = addButton(panel, QStringLiteral("cmdOK"), QStringLiteral("OK"), {280, 216, 49, 33});
    cmdOK->setEnabled(false);
    QPushButton* cmdEsci =
        addButton(panel, QStringLiteral("cmdEsci"), QStringLiteral("Esci"), {8, 338, 146, 32});
    QPushButton* btnCambiaPassword =
        addButton(panel, QStringLiteral("btnCambiaPassword"), QStringLiteral("Cambia password"),
                  {205, 338, 146, 32});
    setTabOrder(txtPassword, cmdOK);
    setTabOrder(cmdOK, cmdEsci);
    setTabOrder(cmdEsci, btnCambiaPassword);

    connect(txtPassword, &QLineEdit::textChanged, this, &TfrmPassword::updateOk);
    KeyRules::onEnter(txtPassword, [this] {
        if (!TextField::trimBlanks(txtPassword->text()).isEmpty())
            checkPassword();
    });
    connect(cmdOK, &QPushButton::clicked, this, &TfrmPassword::checkPassword);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmPassword::exitRequested);
    connect(btnCambiaPassword, &QPushButton::clicked, this, &TfrmPassword::changePasswordRequested);
}

void TfrmPassword::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    txtPassword->setFocus();
}

void TfrmPassword::startOver() {
    txtPassword->clear();
    txtPassword->setFocus();
}

void TfrmPassword::updateOk() {
    cmdOK->setEnabled(!TextField::trimBlanks(txtPassword->text()).isEmpty());
}

void TfrmPassword::checkPassword() {
    const auto stored = Credential::read(ProgramFolder::file(Credential::FileName));
    if (stored.status == Credential::ReadStatus::Unreadable) {
        Messages::notice(this, QStringLiteral("Attenzione: si è verificato un errore durante la "
                                              "procedura di lettura della password. Si consiglia "
                                              "di reinstallare il software."));
        return;
    }
    if (!Credential::matches(stored.password, txtPassword->text())) {
        Messages::notice(this, QStringLiteral("Attenzione: password errata."));
        txtPassword->clear();
        txtPassword->setFocus();
        return;
    }
    emit passwordAccepted();
}
