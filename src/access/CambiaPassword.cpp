#include "CambiaPassword.h"

#include "PasswordField.h"
#include "core/Credential.h"
#include "core/TextField.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
const QString kChangeFailed = QStringLiteral(
    "Attenzione: si è verificato un errore durante la procedura di modifica della password. "
    "Si consiglia di reinstallare il software.");
}

TfrmCambiaPassword::TfrmCambiaPassword() {
    setObjectName(QStringLiteral("frmCambiaPassword"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Cambia password"), {411, 418});
    auto* backdrop = new Backdrop(this, QColor(0x46, 0x82, 0xB4), Qt::white, {385, 390});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSfondo", QColor(0x46, 0x82, 0xB4), Qt::white, Qt::white))
        ->setGeometry(8, 8, 369, 334);
    (new Picture(panel, "imgLogo", artwork("cambia_password_logo")))->setGeometry(16, 16, 353, 148);
    const QFont caption = uiFont(QStringLiteral("Verdana"), 12);
    addLabel(panel, "lblRigo05", QStringLiteral("Vecchia password:"), 16, 172, caption);
    txtPasswordOld = PasswordField::create(panel, "txtPasswordOld", {16, 193, 353, 22});
    addLabel(panel, "lblRigo06", QStringLiteral("Nuova password:"), 16, 228, caption);
    txtPasswordNew = PasswordField::create(panel, "txtPasswordNew", {16, 249, 353, 22});
    addLabel(panel, "lblRigo07", QStringLiteral("Conferma nuova password:"), 16, 284, caption);
    txtConferma = PasswordField::create(panel, "txtConferma", {16, 305, 353, 22});

    QPushButton* cmdEsci =
        addButton(panel, QStringLiteral("cmdEsci"), QStringLiteral("Chiudi"), {8, 350, 146, 32});
    cmdOK = addButton(panel, QStringLiteral("cmdOK"), QStringLiteral("OK"), {232, 350, 146, 32});
    cmdOK->setEnabled(false);
    setTabOrder(txtPasswordOld, txtPasswordNew);
    setTabOrder(txtPasswordNew, txtConferma);
    setTabOrder(txtConferma, cmdEsci);
    setTabOrder(cmdEsci, cmdOK);

    // Enter goes round the three fields and never presses OK.
    KeyRules::enterMovesTo(txtPasswordOld, txtPasswordNew);
    KeyRules::enterMovesTo(txtPasswordNew, txtConferma);
    KeyRules::enterMovesTo(txtConferma, txtPasswordOld);
    for (QLineEdit* field : {txtPasswordOld, txtPasswordNew, txtConferma})
        connect(field, &QLineEdit::textChanged, this, &TfrmCambiaPassword::updateOk);
    connect(cmdOK, &QPushButton::clicked, this, &TfrmCambiaPassword::changePassword);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmCambiaPassword::backToLogin);
}

void TfrmCambiaPassword::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    for (QLineEdit* field : {txtPasswordOld, txtPasswordNew, txtConferma})
        field->clear();
    txtPasswordOld->setFocus();
}

void TfrmCambiaPassword::closeEvent(QCloseEvent* event) {
    backToLogin();
    event->accept();
}

void TfrmCambiaPassword::updateOk() {
    bool all = true;
    for (QLineEdit* field : {txtPasswordOld, txtPasswordNew, txtConferma})
        all = all && !TextField::trimBlanks(field->text()).isEmpty();
    cmdOK->setEnabled(all);
}

void TfrmCambiaPassword::changePassword() {
    const QString path = ProgramFolder::file(Credential::FileName);
    const auto stored = Credential::read(path);
    if (stored.status == Credential::ReadStatus::Unreadable) {
        Messages::notice(this, kChangeFailed);
        return;
    }
    if (!Credential::matches(stored.password, txtPasswordOld->text())) {
        Messages::notice(this, QStringLiteral("Attenzione: vecchia password errata."));
        txtPasswordOld->clear();
        txtPasswordOld->setFocus();
        return;
    }
    if (TextField::trimBlanks(txtPasswordNew->text()) !=
        TextField::trimBlanks(txtConferma->text())) {
        Messages::notice(this, QStringLiteral("Attenzione: la nuova password non è stata "
                                              "confermata correttamente. E' necessario "
                                              "reinserire entrambi i valori."));
        txtPasswordNew->clear();
        txtConferma->clear();
        txtPasswordNew->setFocus();
        return;
    }
    // A password the cipher could not keep would lock the user out at the next login.
    if (const auto refused = Credential::refusal(txtPasswordNew->text())) {
        Messages::notice(this, *refused);
        txtPasswordNew->setFocus();
        return;
    }
    if (!Credential::write(path, txtPasswordNew->text())) {
        Messages::notice(this, kChangeFailed);
        return;
    }
    Messages::notice(this, QStringLiteral("Modifica della password completata con successo."));
    backToLogin();
}

void TfrmCambiaPassword::backToLogin() {
    hide();
    emit closed();
}
