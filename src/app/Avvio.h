#pragma once

#include <QWidget>

class ImageButton;

// The main menu: the two archives, help, information, credits, the maker's site and the
// way out of the program.
class TfrmAvvio : public QWidget {
    Q_OBJECT
public:
    TfrmAvvio();

    ImageButton* imgInfo;
    ImageButton* imgGuida;
    ImageButton* imgDocumenti;
    ImageButton* imgPosta;
    ImageButton* btnDocumenti;
    ImageButton* btnPosta;
    ImageButton* imgSito;
    ImageButton* imgCopyright;
    ImageButton* imgEsci;

signals:
    void protocolRequested();
    void documentsRequested();
    // The exit picture or the close box: the run ends at once.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
};
