#include "Info.h"

#include "Maker.h"
#include "ui/LinkLabel.h"
#include "ui/TMisc.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QLabel>
#include <QPushButton>

TfrmInfo::TfrmInfo(QWidget* opener) : QDialog(opener) {
    setObjectName(QStringLiteral("frmInfo"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Informazioni su Faldora"), {473, 579});
    auto* backdrop = new Backdrop(this, Qt::black, Qt::white, {442, 490});
    QWidget* window = backdrop;
    QWidget* panel = backdrop->panel();
    // This window's panel sits at the top left, with the link and the button below it.
    backdrop->setPanelOrigin(QPoint(15, 15));

    (new Shape(panel, "shpSfondo", Qt::white))->setGeometry(8, 8, 425, 72);
    (new Picture(panel, "imgLogo", artwork("info_logo")))->setGeometry(24, 16, 392, 54);
    (new Shape(panel, "shpDescrizione", QColor(255, 255, 255, 225)))->setGeometry(8, 96, 425, 380);
    auto* about = named(new QLabel(panel), "lblDescrizione");
    about->setWordWrap(true);
    about->setFont(uiFont(QStringLiteral("Verdana"), 12));
    about->setGeometry(24, 108, 393, 356);
    about->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    about->setText(QStringLiteral(
        "<p><b>Faldora 1.0</b></p>"
        "<p>Faldora sostituisce i registri cartacei dell'ufficio, dello studio professionale e "
        "della casa.</p>"
        "<p><b>Protocollo Posta</b>: il registro annuale della posta in entrata, in uscita e "
        "interna, con numerazione automatica, ricerca, riepiloghi, stampa ed esportazione in "
        "Microsoft Excel.</p>"
        "<p><b>Schedario Documenti</b>: lo schedario di documenti di ogni tipo, con copia "
        "digitale e file allegati.</p>"
        "<p>Tutti i dati restano nella cartella del programma: per una copia di sicurezza basta "
        "copiare la cartella, che funziona anche da chiavetta USB o da una cartella condivisa "
        "in rete.</p>"
        "<p>Per informazioni scrivere all'indirizzo qui sotto.</p>"));

    auto* imgEmail = new Picture(window, "imgEmail", artwork("email"));
    imgEmail->setGeometry(15, 531, 23, 16);
    auto* lnkWeb = new LinkLabel(window, Maker::Email);
    lnkWeb->move(46, 528);
    lnkWeb->addBuddy(imgEmail);
    connect(lnkWeb, &LinkLabel::clicked, this, [] { TMisc::Open(mailTarget()); });

    QPushButton* btnChiudi = addButton(window, QStringLiteral("btnChiudi"),
                                       QStringLiteral("Chiudi"), {280, 504, 161, 41});
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

QString TfrmInfo::mailTarget() {
    // Subject and body go in as they are, without percent-encoding.
    return u'"' + QStringLiteral("mailto:") + Maker::Email +
           QStringLiteral("?subject=Software Faldora&body=Salve, desidererei avere le seguenti "
                          "informazioni sul software in oggetto:") +
           u'"';
}
