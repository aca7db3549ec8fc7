#include "AttachmentSlot.h"

#include "FileDialogs.h"
#include "Messages.h"
#include "ProgramFolder.h"
#include "TMisc.h"
#include "core/AttachmentFolder.h"
#include "core/TextField.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

AttachmentSlot::AttachmentSlot(QLineEdit* name, QPushButton* browse, QPushButton* open,
                               QAbstractButton* clear)
    : QObject(name), m_name(name), m_open(open) {
    // The name is set only by choosing, clearing or loading: read-only, in grey.
    name->setReadOnly(true);
    QPalette grey = name->palette();
    grey.setColor(QPalette::Text, Qt::gray);
    name->setPalette(grey);
    connect(name, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_open->setEnabled(!TextField::trimBlanks(text).isEmpty());
    });
    m_open->setEnabled(!TextField::trimBlanks(name->text()).isEmpty());
    connect(browse, &QPushButton::clicked, this, &AttachmentSlot::choose);
    connect(open, &QPushButton::clicked, this, &AttachmentSlot::openFile);
    connect(clear, &QAbstractButton::clicked, name, &QLineEdit::clear);
}

void AttachmentSlot::choose() {
    QWidget* window = m_name->window();
    const QString chosen =
        FileDialogs::openFile(window, QStringLiteral("Selezionare il file da allegare:"),
                              QStringLiteral("Tutti i file (*.*)"));
    if (chosen.isEmpty())
        return;
    const QString before = m_name->text();
    const QString bare = AttachmentFolder::storedName(QFileInfo(chosen).fileName());
    m_name->setText(bare);
    const QString target = AttachmentFolder::fileFor(ProgramFolder::path(), bare);
    if (!target.isEmpty() && QFile::exists(target) &&
        !Messages::question(window,
                            QStringLiteral("Attenzione: nella cartella dei documenti allegati "
                                           "è presente un file con lo stesso nome.\r\n\r\nSi "
                                           "vuole sovrascrivere il file esistente?")))
        return; // the card names the file already there
    // A card must never name a file that is not in the folder.
    if (AttachmentFolder::copyIn(ProgramFolder::path(), chosen, bare) ==
        AttachmentFolder::CopyResult::Failed) {
        Messages::error(window, QStringLiteral("Attenzione: non è stato possibile copiare il file "
                                               "nella cartella dei documenti allegati."));
        m_name->setText(before);
    }
}

void AttachmentSlot::openFile() {
    // A name with a folder part, written by another program, opens nothing.
    const QString file = AttachmentFolder::fileFor(ProgramFolder::path(), m_name->text());
    if (!file.isEmpty())
        TMisc::Open(u'"' + file + u'"');
}
