#pragma once

#include "report/Report.h"

#include <QDialog>

class QPushButton;
class CardTarget;

// Prints the protocol card shown, saved or not, on one A4 page.
class TfrmStampaProtocollo : public QDialog {
    Q_OBJECT
public:
    TfrmStampaProtocollo(QWidget* opener, const CardTarget& cardWindow);

    QPushButton* btnAnnulla;
    QPushButton* btnStampa;

    // The card template filled with what the card window's fields hold now.
    Report::Template filledTemplate(const QDateTime& printedAt) const;

public slots:
    void print();

private:
    const CardTarget& m_card;
};
