#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
struct HelpTopic;

// The help window: the topic of the window that opened it, and a link to the user guide.
class TfrmGuida : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGuida(QWidget* opener);

    // Opens a fresh help window on `topic`, modally, over `opener`.
    static void showTopic(QWidget* opener, const HelpTopic& topic);

    // The topic's title and text.
    void setTopic(const HelpTopic& topic);

private:
    QLabel* lblTitolo;
    QPlainTextEdit* txtGuida;
};
