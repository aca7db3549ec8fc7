#include "CardPrintWindow.h"

#include "CardTarget.h"
#include "Clock.h"
#include "Services.h"
#include "Widgets.h"
#include "WindowFrame.h"

#include <QPushButton>

CardPrintWindow::CardPrintWindow(QWidget* opener, const CardTarget& cardWindow, CardForm::Form form)
    : QDialog(opener), m_card(cardWindow), m_form(std::move(form)) {
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Stampa scheda"), {364, 287});
    auto* backdrop = new Backdrop(this, QColor(0x74, 0x94, 0xB3), Qt::white, {364, 287});
    QWidget* panel = backdrop->panel();
    (new Shape(panel, "shpSfondo", Qt::white))->setGeometry(18, 18, 326, 215);
    (new Picture(panel, "icoInf01", artwork("stampa_info1")))->setGeometry(28, 28, 240, 83);
    (new Picture(panel, "imgLogo01", artwork("faldora_logo")))->setGeometry(282, 31, 51, 81);
    (new Shape(panel, "shpSepara", QColor(0x42, 0x7A, 0xA8)))->setGeometry(26, 120, 311, 4);
    (new Picture(panel, "imgSezione04", artwork("stampante")))->setGeometry(30, 142, 82, 72);
    (new Picture(panel, "icoInf02", artwork("stampa_info2")))->setGeometry(122, 142, 206, 71);
    QPushButton* btnAnnulla = addButton(panel, QStringLiteral("btnAnnulla"),
                                        QStringLiteral("Annulla"), {18, 243, 137, 28});
    QPushButton* btnStampa = addButton(panel, QStringLiteral("btnStampa"), QStringLiteral("Stampa"),
                                       {208, 243, 137, 28});
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnStampa, &QPushButton::clicked, this, &CardPrintWindow::print);
}

Report::Template CardPrintWindow::filledTemplate(const QDateTime& printedAt) const {
    Report::Template page = CardForm::layout(m_form);
    page.setOrientation(Report::Orientation::Portrait);
    // The value objects bear the names of the card window's controls.
    CardForm::fill(
        page, m_form, [this](const QString& name) { return m_card.fieldText(name); }, printedAt);
    CardForm::addFingerprints(page, m_form, m_card.attachedFiles());
    return page;
}

void CardPrintWindow::print() {
    const QDateTime now = Clock::now();
    Services::printer().print(this, Report::prepare(filledTemplate(now), now));
    accept();
}
