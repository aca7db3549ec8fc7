#pragma once

#include <QDialog>

class CardTarget;
class ResultList;

// The cards of the document card index still to be completed, one fixed-width line each,
// built when the window is made: find a word in the list, print it, or bring a card into
// the card window with a double click.
class TfrmDaCompletare final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmDaCompletare)
public:
    // Lists the marked cards of the archive of `cardWindow`, which receives the chosen one.
    TfrmDaCompletare(QWidget* opener, CardTarget* cardWindow);

    // The lines shown, in list order.
    QStringList lines() const;

private:
    ResultList* m_results;
};
