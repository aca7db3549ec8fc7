#pragma once

#include <QWidget>

// The main menu: the two archives, help, information, credits, the maker's site and the
// way out of the program.
class TfrmAvvio : public QWidget {
    Q_OBJECT
public:
    TfrmAvvio();

signals:
    void protocolRequested();
    void documentsRequested();
    // "Verifica archivio" at the foot of the menu.
    void checkRequested();
    // "Backup" and "Ripristina backup", beside it.
    void backupRequested();
    void restoreRequested();
    // The exit picture or the close box: the run ends at once.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
};
