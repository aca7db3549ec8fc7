#include "Guida.h"

#include "HelpTopics.h"
#include "LinkLabel.h"
#include "ProgramFolder.h"
#include "TMisc.h"
#include "Widgets.h"
#include "WindowFrame.h"

#include <QPlainTextEdit>
#include <QPushButton>

TfrmGuida::TfrmGuida(QWidget* opener) : QDialog(opener) {
    setObjectName(QStringLiteral("frmGuida"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Guida all'utilizzo del software"),
                                  {670, 572});
    auto* backdrop = new Backdrop(this, Qt::white, QColor(0xBF, 0xD8, 0xEF), {642, 540});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSfondo", Qt::white, QColor(0xF5, 0xDE, 0xB3)))
        ->setGeometry(8, 8, 625, 89);
    (new Picture(panel, "imgLogo", artwork("guida_logo")))->setGeometry(24, 16, 587, 69);
    lblTitolo = addLabel(panel, "lblTitolo", QStringLiteral("Argomento della guida."), 8, 104,
                         uiFont(QStringLiteral("Arial"), 16, true), QColor(0xDC, 0x14, 0x3C));
    lblTitolo->setFixedWidth(625);
    txtGuida = named(new QPlainTextEdit(panel), "txtGuida");
    txtGuida->setGeometry(8, 128, 625, 350);
    txtGuida->setReadOnly(true);
    txtGuida->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtGuida->setFont(uiFont(QStringLiteral("Verdana"), 12, true));

    auto* imgPDF = new Picture(panel, "imgPDF", artwork("pdf"));
    imgPDF->setGeometry(8, 496, 27, 27);
    auto* lnkWeb = new LinkLabel(panel, QStringLiteral("Visualizza guida in formato PDF"));
    lnkWeb->move(44, 500);
    lnkWeb->addBuddy(imgPDF);
    connect(lnkWeb, &LinkLabel::clicked, this,
            [] { TMisc::Open(u'"' + ProgramFolder::file(QStringLiteral("Guida.pdf")) + u'"'); });

    QPushButton* btnChiudi = addButton(panel, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"),
                                       {472, 490, 161, 38});
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::accept);
}

void TfrmGuida::showTopic(QWidget* opener, const HelpTopic& topic) {
    TfrmGuida window(opener);
    window.setTopic(topic);
    WindowFrame::centre(&window);
    window.exec();
}

void TfrmGuida::setTopic(const HelpTopic& topic) {
    lblTitolo->setText(topic.title);
    txtGuida->setPlainText(topic.body);
}
