#include "Splash.h"

#include "Maker.h"
#include "ui/LinkLabel.h"
#include "ui/TMisc.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QPushButton>

TfrmSplash::TfrmSplash(QWidget* opener) : QDialog(opener) {
    setObjectName(QStringLiteral("frmSplash"));
    WindowFrame::setupFixedDialog(
        this, QStringLiteral(" Faldora - Archivio documenti e protocollo della posta"), {661, 467});
    auto* backdrop = new Backdrop(this, Qt::white, QColor(0x35, 0x25, 0x25), {642, 448});
    QWidget* panel = backdrop->panel();

    (new Picture(panel, "imgLogo", artwork("crediti")))->setGeometry(8, 8, 625, 380);
    auto* imgWeb = new Picture(panel, "imgWeb", artwork("web"));
    imgWeb->setGeometry(8, 400, 39, 36);
    auto* lnkWeb =
        new LinkLabel(panel, QString(Maker::WebAddress).remove(QStringLiteral("https://")));
    lnkWeb->move(54, 409);
    lnkWeb->addBuddy(imgWeb);
    connect(lnkWeb, &LinkLabel::clicked, this, [] { TMisc::Open(Maker::WebAddress); });

    QPushButton* btnChiudi = addButton(panel, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"),
                                       {473, 402, 160, 34});
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
}
