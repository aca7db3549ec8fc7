#pragma once

#include <QObject>

class QAbstractButton;
class QLineEdit;
class QPushButton;
class QWidget;

// One attachment of a card: its read-only name field (grey) with the buttons that choose a file
// (copying it into the attachments folder), open it and clear the name. The open button
// is there only while the field names a file.
class AttachmentSlot : public QObject {
    Q_OBJECT
public:
    AttachmentSlot(QLineEdit* name, QPushButton* browse, QPushButton* open, QAbstractButton* clear);

    void choose();
    void openFile();

private:
    QLineEdit* m_name;
    QPushButton* m_open;
};
