#pragma once

#include "report/CardForm.h"

#include <QDialog>

class CardTarget;

// The small window that prints the card a card window shows, saved or not, on one A4 page
// laid out from the archive's form: " Stampa scheda", "Annulla" and "Stampa".
class CardPrintWindow : public QDialog {
    Q_OBJECT
public:
    CardPrintWindow(QWidget* opener, const CardTarget& cardWindow, CardForm::Form form);

    // The form's page filled with what the card window's fields hold now.
    Report::Template filledTemplate(const QDateTime& printedAt) const;

public slots:
    void print();

private:
    const CardTarget& m_card;
    CardForm::Form m_form;
};
