#pragma once

#include "app/SearchWindow.h"

class TfrmProtocollo;

// Finds cards of the open protocol register and loads the chosen one into the card window.
class TfrmTrovaProtocollo : public SearchWindow {
    Q_OBJECT
public:
    explicit TfrmTrovaProtocollo(TfrmProtocollo* cardWindow);

    // The fixed-width line that lists a protocol card.
    static QList<Search::LinePiece> resultLine();

protected:
    void loadCard(const Record& record, int position) override;

private:
    TfrmProtocollo* m_cardWindow;
};
