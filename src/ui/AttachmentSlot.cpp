#include "AttachmentSlot.h"

#include "FileDialogs.h"
#include "Messages.h"
#include "ProgramFolder.h"
#include "TMisc.h"
#include "core/AttachmentFolder.h"
#include "core/Fingerprints.h"
#include "core/TextField.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

AttachmentSlot::AttachmentSlot(QLineEdit* name, QPushButton* browse, QPushButton* open,
                               QAbstractButton* clear, QLabel* print)
    : QObject(name), m_name(name), m_open(open), m_printLabel(print) {
    // The name is set only by choosing, clearing or loading: read-only, in grey.
    name->setReadOnly(true);
    QPalette grey = name->palette();
    grey.setColor(QPalette::Text, Qt::gray);
    name->setPalette(grey);
    connect(name, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_open->setEnabled(!TextField::trimBlanks(text).isEmpty());
        // A fingerprint belongs to the file it was computed from.
        setPrint({});
    });
    m_open->setEnabled(!TextField::trimBlanks(name->text()).isEmpty());
    connect(browse, &QPushButton::clicked, this, &AttachmentSlot::choose);
    connect(open, &QPushButton::clicked, this, &AttachmentSlot::openFile);
    connect(clear, &QAbstractButton::clicked, name, &QLineEdit::clear);
    showPrint();
}

void AttachmentSlot::setPrint(const AttachmentPrint& print) {
    m_print = print;
    showPrint();
}

QString AttachmentSlot::shortened(const QByteArray& sha256) {
    return QString::fromLatin1(sha256.left(16)) + u'…' + QString::fromLatin1(sha256.right(8));
}

QString AttachmentSlot::damagedText(const QString& sideFile) {
    return QStringLiteral("Attenzione: il file delle impronte dei documenti allegati «%1» è "
                          "danneggiato. Le sue righe illeggibili non vengono considerate; "
                          "l'archivio resta utilizzabile.")
        .arg(sideFile);
}

void AttachmentSlot::showPrint() {
    if (!m_printLabel)
        return;
    if (TextField::trimBlanks(m_name->text()).isEmpty()) {
        m_printLabel->clear();
        m_printLabel->setToolTip(QString());
    } else if (m_print.sha256.isEmpty()) {
        m_printLabel->setText(QStringLiteral("Impronta SHA-256: non registrata"));
        m_printLabel->setToolTip(QString());
    } else {
        m_printLabel->setText(QStringLiteral("Impronta SHA-256: ") + shortened(m_print.sha256));
        m_printLabel->setToolTip(QString::fromLatin1(m_print.sha256));
    }
}

bool AttachmentSlot::mayAttach(const QByteArray& sha256) {
    QWidget* window = m_name->window();
    const CardPlace place = m_place ? m_place() : CardPlace{};
    const Fingerprints::Search search = Fingerprints::cardsHolding(
        ProgramFolder::path(), sha256, place.archivePath, place.position);
    for (const QString& file : search.damagedFiles)
        Messages::warning(window, damagedText(file));
    if (search.holders.isEmpty())
        return true;
    QSet<QString> cards;
    for (const Fingerprints::Holder& holder : search.holders)
        cards.insert(holder.archivePath + u'\t' + QString::number(holder.position));
    const qsizetype others = cards.size() - 1;
    const QString more = others == 0   ? QString()
                         : others == 1 ? QStringLiteral(" e a un'altra scheda")
                                       : QStringLiteral(" e ad altre %1 schede").arg(others);
    return Messages::question(window, QStringLiteral("Lo stesso file è già allegato ") +
                                          Fingerprints::holderText(search.holders.first()) + more +
                                          QStringLiteral(". Allegarlo comunque?"));
}

void AttachmentSlot::choose() {
    QWidget* window = m_name->window();
    const QString chosen =
        FileDialogs::openFile(window, QStringLiteral("Selezionare il file da allegare:"),
                              QStringLiteral("Tutti i file (*.*)"));
    if (chosen.isEmpty())
        return;
    const QString before = m_name->text();
    const AttachmentPrint printBefore = m_print;
    const auto putBack = [&] {
        m_name->setText(before);
        setPrint(printBefore);
    };
    const QString bare = AttachmentFolder::storedName(QFileInfo(chosen).fileName());
    m_name->setText(bare);
    const QString target = AttachmentFolder::fileFor(ProgramFolder::path(), bare);
    if (!target.isEmpty() && QFile::exists(target) &&
        !Messages::question(window,
                            QStringLiteral("Attenzione: nella cartella dei documenti allegati "
                                           "è presente un file con lo stesso nome.\r\n\r\nSi "
                                           "vuole sovrascrivere il file esistente?"))) {
        // The card names the file already there: its fingerprint is that file's.
        const auto sum = Fingerprints::ofFile(target);
        if (sum && !mayAttach(*sum))
            putBack();
        else
            setPrint({sum.value_or(QByteArray()), true});
        return;
    }
    QByteArray sum;
    switch (AttachmentFolder::copyIn(
        ProgramFolder::path(), chosen, bare,
        [this](const QByteArray& sha256) { return mayAttach(sha256); }, &sum)) {
    case AttachmentFolder::CopyResult::Failed:
        // A card must never name a file that is not in the folder.
        Messages::error(window, QStringLiteral("Attenzione: non è stato possibile copiare il file "
                                               "nella cartella dei documenti allegati."));
        putBack();
        return;
    case AttachmentFolder::CopyResult::Declined:
        putBack();
        return;
    case AttachmentFolder::CopyResult::Copied:
    case AttachmentFolder::CopyResult::SameFile:
        setPrint({sum, true});
        return;
    }
}

void AttachmentSlot::openFile() {
    // A name with a folder part, written by another program, opens nothing.
    const QString file = AttachmentFolder::fileFor(ProgramFolder::path(), m_name->text());
    if (!file.isEmpty())
        TMisc::Open(u'"' + file + u'"');
}
