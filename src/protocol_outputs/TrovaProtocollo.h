#pragma once

#include "ui/SearchWindow.h"

#include <functional>

class CardTarget;

// Finds cards of the open protocol register, or of every year's register, and loads the
// chosen one into the card window.
class TfrmTrovaProtocollo : public SearchWindow {
    Q_OBJECT
public:
    // `openYear` makes the card window work on another year's register (its four digits), as
    // the year selection does, before a card of that year is loaded.
    TfrmTrovaProtocollo(QWidget* opener, CardTarget* cardWindow,
                        std::function<void(const QString& year)> openYear = {});

    // The fixed-width line that lists a protocol card.
    static QList<Search::LinePiece> resultLine();
};
