#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class ImageButton;

// The three further attachments of a card, each a file copied into the attachments folder
// and a description. Serves the protocol card window (tag "protocollo") and the document
// card window (tag "altri"), whose six hidden labels it fills on "Applica e chiudi".
class TfrmAllegaCartella : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAllegaCartella(QWidget* opener);

    // Opens a fresh window over `cardWindow` with its six labels, tagged `tag`.
    static void openFor(QWidget* cardWindow, const QString& tag);

    QLabel* lblMemory;
    QLineEdit* txtFile[3];
    QLineEdit* txtDesc[3];
    ImageButton* imgCancella[3];
    QPushButton* btnSfoglia[3];
    QPushButton* btnApri[3];
    QPushButton* btnAnnulla;
    QPushButton* btnApplica;

    // Copies the caller's six labels into the slots.
    void fillFrom(QWidget* cardWindow);

public slots:
    void apply();

private:
    QWidget* m_opener;
};
