#include "Numerazione.h"

#include "core/Numbering.h"
#include "core/Settings.h"
#include "core/TextField.h"
#include "ui/ArchiveTag.h"
#include "ui/FocusHalo.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TfrmNumerazione::TfrmNumerazione(QWidget* opener) : QDialog(opener) {
    setObjectName(QStringLiteral("frmNumerazione"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Impostazione inizio numerazione"),
                                  {420, 373});
    auto* backdrop = new Backdrop(this, QColor(0x46, 0x82, 0xB4), Qt::white, {404, 357});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSezione1", Qt::white))->setGeometry(0, 0, 404, 158);
    (new Shape(panel, "shpSezione2", Qt::white))->setGeometry(0, 166, 404, 92);
    (new Shape(panel, "shpSezione3", Qt::white))->setGeometry(0, 266, 404, 48);
    (new Picture(panel, "icoLogo", artwork("faldora_logo")))->setGeometry(8, 6, 52, 52);
    (new Picture(panel, "icoIstruzioni", artwork("istruzioni_numerazione")))
        ->setGeometry(12, 62, 380, 92);

    auto* grpNumerazione =
        named(new QGroupBox(QStringLiteral(" Inizia numerazione da: "), panel), "grpNumerazione");
    grpNumerazione->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    grpNumerazione->setGeometry(12, 172, 240, 76);
    txtInizio = named(new QLineEdit(QStringLiteral("1"), grpNumerazione), "txtInizio");
    txtInizio->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    txtInizio->setAlignment(Qt::AlignCenter);
    txtInizio->setMaxLength(5);
    txtInizio->setGeometry(20, 34, 200, 22);
    FocusHalo::attach(txtInizio);
    (new Picture(panel, "icoMano", artwork("mano")))->setGeometry(290, 178, 64, 64);

    chkTipo = named(new WrappingCheckBox(QStringLiteral("Indica l'anno solare dopo il numero "
                                                        "progressivo del documento"),
                                         panel),
                    "chkTipo");
    chkTipo->setFont(uiFont(QStringLiteral("Arial"), 12, true));
    chkTipo->setCursor(Qt::PointingHandCursor);
    chkTipo->setGeometry(12, 270, 384, 40);

    QPushButton* btnAnnulla = addButton(panel, QStringLiteral("btnAnnulla"),
                                        QStringLiteral("Annulla"), {0, 323, 160, 32});
    QPushButton* btnApplica = addButton(panel, QStringLiteral("btnApplica"),
                                        QStringLiteral("Applica e chiudi"), {244, 323, 160, 32});
    lblMemory = addHiddenLabel(panel, "lblMemory");

    KeyRules::digitsOnly(txtInizio, btnApplica);
    txtInizio->installEventFilter(this);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnApplica, &QPushButton::clicked, this, &TfrmNumerazione::apply);
}

void TfrmNumerazione::setOpenerTag(const QString& tag) {
    lblMemory->setText(tag);
}

bool TfrmNumerazione::isForProtocol() const {
    return TextField::trimBlanks(lblMemory->text()) == ArchiveTag::Protocol;
}

void TfrmNumerazione::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (isForProtocol()) {
        const Settings::Numbering numbering = ProgramFolder::settings().numbering();
        txtInizio->setText(numbering.start);
        chkTipo->setChecked(numbering.yearAfterNumber == Settings::Yes);
    }
    if (TextField::trimBlanks(txtInizio->text()).isEmpty())
        txtInizio->setText(QStringLiteral("1"));
    txtInizio->setFocus();
}

bool TfrmNumerazione::eventFilter(QObject* watched, QEvent* event) {
    // Leaving the field (a click on a button leaves it first) puts the number in shape.
    if (watched == txtInizio && event->type() == QEvent::FocusOut)
        txtInizio->setText(Numbering::normaliseStart(txtInizio->text()));
    return QDialog::eventFilter(watched, event);
}

void TfrmNumerazione::apply() {
    txtInizio->setText(Numbering::normaliseStart(txtInizio->text()));
    if (isForProtocol()) {
        QString error;
        if (!ProgramFolder::settings().setNumbering(TextField::trimBlanks(txtInizio->text()),
                                                    chkTipo->isChecked(), &error)) {
            Messages::error(this, error);
            return;
        }
    }
    accept();
}
