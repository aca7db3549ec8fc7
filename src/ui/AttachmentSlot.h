#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The fingerprint a slot shows: the SHA-256 (hex) of its file, empty when none is known, and
// whether the file was attached since the card was shown (so that its save records it).
struct AttachmentPrint {
    QByteArray sha256;
    bool fresh = false;
};

// The card a slot belongs to: its archive file and its position, none for a card not yet
// in the archive.
struct CardPlace {
    QString archivePath;
    std::optional<int> position;
};

// One attachment of a card: its read-only name field (grey) with the buttons that choose a file
// (copying it into the attachments folder), open it and clear the name. The open button
// is there only while the field names a file. The file's fingerprint is computed as it is
// attached and shown, shortened, in `print` (the whole value in its tooltip); a file whose
// fingerprint another card already holds is attached only after a question naming that card.
class AttachmentSlot : public QObject {
    Q_OBJECT
public:
    AttachmentSlot(QLineEdit* name, QPushButton* browse, QPushButton* open, QAbstractButton* clear,
                   QLabel* print = nullptr);

    void choose();
    void openFile();

    void setPlace(std::function<CardPlace()> place) { m_place = std::move(place); }
    const AttachmentPrint& print() const { return m_print; }
    void setPrint(const AttachmentPrint& print);

    // "1a2b3c4d5e6f7a8b…9c0d1e2f": the start and the end of a fingerprint.
    static QString shortened(const QByteArray& sha256);
    // The warning about a side file of fingerprints that cannot be read whole.
    static QString damagedText(const QString& sideFile);

private:
    // The double registration check: true when no other card holds the file, or the user
    // attaches it all the same.
    bool mayAttach(const QByteArray& sha256);
    void showPrint();

    QLineEdit* m_name;
    QPushButton* m_open;
    QLabel* m_printLabel;
    AttachmentPrint m_print;
    std::function<CardPlace()> m_place;
};
