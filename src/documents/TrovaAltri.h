#pragma once

#include "ui/SearchWindow.h"

class CardTarget;

// Finds cards of the document card index by up to ten filters and loads the chosen one
// into the document card window.
class TfrmTrovaAltri final : public SearchWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmTrovaAltri)
public:
    TfrmTrovaAltri(QWidget* opener, CardTarget* cardWindow);

    // The fixed-width line that lists a document card: the name, the production date, the
    // producer and the addressee in 140 characters, then the protocol number.
    static QList<Search::LinePiece> resultLine();
};
