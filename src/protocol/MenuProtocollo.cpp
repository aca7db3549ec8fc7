#include "MenuProtocollo.h"

#include "core/TextField.h"
#include "ui/ArchiveTag.h"
#include "ui/Clock.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {
const QColor kSteelBlue(0x46, 0x82, 0xB4);
} // namespace

TfrmMenuProtocollo::TfrmMenuProtocollo() {
    setObjectName(QStringLiteral("frmMenuProtocollo"));
    WindowFrame::setupSizeableWindow(this, QStringLiteral(" Faldora - Protocollo Posta"),
                                     {1016, 713});
    auto* backdrop = new Backdrop(this, kSteelBlue, Qt::white, {995, 692});
    QWidget* panel = backdrop->panel();

    // Title, explanation and the year box, each framed on the gradient.
    (new Shape(panel, "shpTitolo", kSteelBlue, Qt::white, Qt::white))
        ->setGeometry(20, 20, 955, 110);
    (new Picture(panel, "icoLogo01", artwork("faldora_logo")))->setGeometry(44, 27, 96, 96);
    (new Picture(panel, "imgTitolo", artwork("protocollo_titolo")))->setGeometry(220, 40, 620, 70);
    (new Shape(panel, "shpInfo", kSteelBlue, Qt::white, Qt::white))->setGeometry(20, 146, 955, 56);
    auto* info = addLabel(panel, "lblInfo",
                          QStringLiteral("In questo ambiente è possibile protocollare i documenti "
                                         "interni e la posta in entrata e in uscita."),
                          0, 0, uiFont(QStringLiteral("Verdana"), 14, true));
    info->move((995 - info->width()) / 2, 174 - info->height() / 2);

    (new Shape(panel, "shpAnno", kSteelBlue, Qt::white, Qt::white))
        ->setGeometry(287, 236, 420, 220);
    auto* heading = named(new QLabel(QStringLiteral("Archivio protocollo documenti:"), panel),
                          "intAnnoPreventivi");
    heading->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    heading->setAutoFillBackground(true);
    QPalette pal = heading->palette();
    pal.setColor(QPalette::Window, kSteelBlue);
    pal.setColor(QPalette::WindowText, Qt::white);
    heading->setPalette(pal);
    heading->setContentsMargins(12, 0, 0, 0);
    heading->setGeometry(288, 237, 418, 34);
    (new Picture(panel, "icoLogo02", artwork("registro")))->setGeometry(60, 266, 180, 160);
    (new Picture(panel, "icoLogo03", artwork("posta")))->setGeometry(755, 266, 180, 160);

    addLabel(panel, "titAnnoPreventivi", QStringLiteral("Anno:"), 316, 334,
             uiFont(QStringLiteral("Verdana"), 20, true));
    txtAnnoPreventivi = named(new QLineEdit(panel), "txtAnnoPreventivi");
    txtAnnoPreventivi->setFont(uiFont(QStringLiteral("Verdana"), 14, true));
    txtAnnoPreventivi->setAlignment(Qt::AlignCenter);
    txtAnnoPreventivi->setMaxLength(4);
    txtAnnoPreventivi->setGeometry(416, 332, 120, 32);
    QPushButton* btnApriPreventivi =
        addButton(panel, QStringLiteral("btnApriPreventivi"), QStringLiteral("Apri"),
                  {556, 330, 120, 36}, uiFont(QStringLiteral("Verdana"), 14, true));

    auto* imgGuida = new ImageButton(panel, "imgGuida", artwork("btn_guida"));
    imgGuida->setGeometry(20, 628, 130, 44);
    auto* imgEsci = new ImageButton(panel, "imgEsci", artwork("btn_esci"));
    imgEsci->setGeometry(845, 628, 130, 44);

    lblMemory = addHiddenLabel(panel, "lblMemory", QStringLiteral("avvio"));

    KeyRules::digitsOnly(txtAnnoPreventivi, btnApriPreventivi);
    connect(btnApriPreventivi, &QPushButton::clicked, this, &TfrmMenuProtocollo::openYear);
    connect(imgEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(imgGuida, &QAbstractButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::protocolYear()); });
}

void TfrmMenuProtocollo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    txtAnnoPreventivi->setText(Clock::today().toString(QStringLiteral("yyyy")));
    lblMemory->setText(QStringLiteral("avvio"));
    txtAnnoPreventivi->setFocus();
}

void TfrmMenuProtocollo::openYear() {
    // Counted as typed: four characters, which the digits-only field makes four digits.
    if (txtAnnoPreventivi->text().size() != 4) {
        Messages::warning(
            this, QStringLiteral("Attenzione: indicare l'anno solare utilizzando quattro cifre."));
        txtAnnoPreventivi->setFocus();
        return;
    }
    lblMemory->setText(ArchiveTag::Protocol);
    close();
}

void TfrmMenuProtocollo::closeEvent(QCloseEvent* event) {
    event->accept();
    if (TextField::trimBlanks(lblMemory->text()) == ArchiveTag::Protocol)
        emit yearChosen(TextField::trimBlanks(txtAnnoPreventivi->text()));
    else
        emit closedWithoutYear();
}
