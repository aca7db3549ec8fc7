#include "BackupFlow.h"

#include "Operazione.h"
#include "core/Backup.h"
#include "core/DocumentRecord.h"
#include "core/Restore.h"
#include "ui/Clock.h"
#include "ui/FileDialogs.h"
#include "ui/Messages.h"
#include "ui/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace BackupFlow {
namespace {

QString cardsLine(const QString& archive, qint64 cards) {
    const QString what = archive == DocumentArchive::FileName
                             ? QStringLiteral("Schedario documenti")
                             : QStringLiteral("Protocollo %1").arg(archive.left(4));
    return QStringLiteral("• %1: %2")
        .arg(what,
             cards == 1 ? QStringLiteral("1 scheda") : QStringLiteral("%1 schede").arg(cards));
}

} // namespace

QString confirmation(const Restore::Contents& contents) {
    QStringList lines;
    lines << QStringLiteral("Il backup è stato fatto il %1 alle %2 e contiene:")
                 .arg(contents.manifest.date.toString(QStringLiteral("dd/MM/yyyy")),
                      contents.manifest.date.toString(QStringLiteral("HH:mm")));
    for (const auto& [archive, cards] : contents.cards)
        lines << cardsLine(archive, cards);
    if (contents.cards.isEmpty())
        lines << QStringLiteral("• nessun archivio");
    lines << (contents.attachments == 0 ? QStringLiteral("• nessun file allegato")
              : contents.attachments == 1
                  ? QStringLiteral("• 1 file allegato")
                  : QStringLiteral("• %1 file allegati").arg(contents.attachments));
    lines << QString()
          << QStringLiteral("Ripristinarlo al posto dei file attuali? I file attuali saranno "
                            "spostati in una cartella «Faldora_Prima_del_ripristino» con la "
                            "data di oggi, nella cartella del programma.")
          << QStringLiteral("Prima di confermare, chiudere Faldora sugli altri computer che "
                            "usano questa cartella.");
    return lines.join(u'\n');
}

void backup(QWidget* from) {
    const Settings settings = ProgramFolder::settings();
    QString start = settings.backupFolder();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString folder =
        FileDialogs::chooseFolder(from, QStringLiteral("Cartella del backup"), start);
    if (folder.isEmpty())
        return;

    Backup::Result result;
    TfrmOperazione window(from, "frmBackup", QStringLiteral("Backup"),
                          QStringLiteral("Copia in un unico file zip i registri, lo schedario, "
                                         "la cronologia, le impostazioni, la password e i file "
                                         "allegati, con l'elenco del loro contenuto."));
    const QDateTime now = Clock::now();
    window.run([&](Backup::Control& control) {
        result = Backup::write(ProgramFolder::path(), folder, now, control);
    });
    switch (result.outcome) {
    case Backup::Outcome::Written:
        settings.setBackupFolder(QDir::toNativeSeparators(folder), nullptr);
        Messages::notice(
            from, QStringLiteral("Backup completato: il file «%1» è nella cartella "
                                 "«%2».")
                      .arg(QFileInfo(result.path).fileName(), QDir::toNativeSeparators(folder)));
        break;
    case Backup::Outcome::Cancelled:
        Messages::notice(from, QStringLiteral("Backup annullato: nessun file è stato scritto."));
        break;
    case Backup::Outcome::Failed:
        Messages::error(from, result.error);
        break;
    }
}

bool restore(QWidget* from) {
    const QString zip =
        FileDialogs::openFile(from, QStringLiteral("Ripristina backup"),
                              QStringLiteral("Backup di Faldora (*.zip);;Tutti i file (*.*)"));
    if (zip.isEmpty())
        return false;
    const QString cancelled = QStringLiteral("Ripristino annullato: nulla è stato modificato.");

    Restore::Checked checked;
    {
        TfrmOperazione window(from, "frmControlloBackup", QStringLiteral("Controllo del backup"),
                              QStringLiteral("Legge tutto il backup e confronta ogni file con "
                                             "l'elenco del suo contenuto. Non modifica nulla."));
        window.run([&](Backup::Control& control) {
            checked = Restore::inspect(zip, ProgramFolder::path(), control);
        });
    }
    if (checked.cancelled) {
        Messages::notice(from, cancelled);
        return false;
    }
    if (!checked.contents) {
        Messages::error(from, checked.error);
        return false;
    }
    if (!Messages::question(from, confirmation(*checked.contents)))
        return false;

    Restore::Result result;
    {
        TfrmOperazione window(from, "frmRipristino", QStringLiteral("Ripristino del backup"),
                              QStringLiteral("Estrae il backup, lo controlla di nuovo e lo mette "
                                             "al posto dei file attuali, che vengono conservati "
                                             "a parte."));
        const QDateTime now = Clock::now();
        window.run([&](Backup::Control& control) {
            result = Restore::apply(zip, ProgramFolder::path(), now, control);
        });
    }
    switch (result.outcome) {
    case Restore::Outcome::Restored:
        Messages::notice(
            from,
            (result.before.isEmpty()
                 ? QStringLiteral("Ripristino completato.")
                 : QStringLiteral("Ripristino completato. I file di prima sono nella cartella "
                                  "«%1» della cartella del programma.")
                       .arg(result.before)) +
                QStringLiteral("\nFaldora torna all'accesso: vale la password del backup."));
        return true;
    case Restore::Outcome::Cancelled:
        Messages::notice(from, cancelled);
        return false;
    case Restore::Outcome::Failed:
        Messages::error(from, result.error);
        return false;
    }
    return false;
}

bool recoverAtStart() {
    switch (Restore::recover(ProgramFolder::path())) {
    case Restore::Recovery::Nothing:
        return true;
    case Restore::Recovery::Undone:
        Messages::notice(nullptr, QStringLiteral("Un ripristino di backup era rimasto "
                                                 "interrotto: i file sono stati riportati "
                                                 "com'erano prima."));
        return true;
    case Restore::Recovery::Failed:
        break;
    }
    Messages::error(nullptr,
                    QStringLiteral("Un ripristino di backup è rimasto interrotto e i file non si "
                                   "riescono a riportare com'erano: controllare che la cartella "
                                   "del programma sia scrivibile e che nessun altro programma "
                                   "tenga aperti i suoi file, poi riavviare Faldora. Il piano "
                                   "del ripristino è nel file «%1».")
                        .arg(Restore::kPlanFile));
    return false;
}

} // namespace BackupFlow
