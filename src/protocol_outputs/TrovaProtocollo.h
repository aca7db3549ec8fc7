#pragma once

#include "ui/SearchWindow.h"

class CardTarget;

// Finds cards of the open protocol register and loads the chosen one into the card window.
class TfrmTrovaProtocollo : public SearchWindow {
    Q_OBJECT
public:
    TfrmTrovaProtocollo(QWidget* opener, CardTarget* cardWindow);

    // The fixed-width line that lists a protocol card.
    static QList<Search::LinePiece> resultLine();
};
