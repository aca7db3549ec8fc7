#pragma once

#include <QDialog>

class LinkLabel;
class QLabel;
class QPlainTextEdit;
class QPushButton;
struct HelpTopic;

// The help window: the topic of the window that opened it, and a link to the user guide.
class TfrmGuida : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget* opener);

    // Opens a fresh help window on `topic`, modally, over `opener`.
    static void showTopic(QWidget* opener, const HelpTopic& topic);

    QLabel* lblTitolo;
    QPlainTextEdit* txtGuida;
    LinkLabel* lnkWeb;
    QPushButton* btnChiudi;
};
