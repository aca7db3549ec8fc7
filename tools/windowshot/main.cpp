// windowshot WINDOW OUT.png [CARD]
//
// Draws a window of the program offscreen, as large as a 1280 x 1024 screen, into a PNG,
// to look at it without going through the login. WINDOW is "altri" (the document card
// window) or "protocollo" (the protocol card window); CARD, when given, loads the
// generator's card of that index (a full card when CARD % 50 == 9).
//
// windowshot cronologia OUT.png [alterata|senza]
//                                         the history of a protocol card saved new and then
//                                         changed twice; "alterata" alters its journal
//                                         first, "senza" draws a card saved without it
// windowshot annullata OUT.png FOLDER     the protocol card window showing an annulled card
//                                         of a register made in FOLDER
// windowshot annulla OUT.png              the annulment window, filled in
// windowshot impronte OUT.png OUT2.png    the protocol card window showing a card whose
//                                         digital copy and two further attachments have
//                                         their fingerprints, and (OUT2) its further
//                                         attachments window
// windowshot verifica OUT.png OUT.pdf     the archive check window over a folder with a
//                                         fault of each kind, and its printed report
// windowshot registro OUT.png FOLDER     the summary window with its daily register command,
//                                         over a register of 120 cards made in FOLDER, two of
//                                         them annulled; the register of the whole year with
//                                         its closing page goes to FOLDER/registro.pdf
// windowshot trova OUT.png OUT2.png FOLDER
//                                         the protocol search over three yearly registers
//                                         made in FOLDER: its filter page with "Cerca in
//                                         tutti gli anni" ticked, and (OUT2) the lines found
// windowshot esporta OUT.png OUT2.png OUT3.png FOLDER
//                                         the protocol export window, the document export
//                                         window and the protocol summary, over a register
//                                         and an index of 30 cards made in FOLDER; the
//                                         choice of formats, open, goes to FOLDER/formati.png
// windowshot menu OUT.png                 the main menu
// windowshot backup OUT.png OUT2.png FOLDER
//                                         the backup's progress window at 40 %, and (OUT2)
//                                         the question the restore asks of a backup made
//                                         of a program folder in FOLDER
#include "app/Application.h"
#include "app/Avvio.h"
#include "app/BackupFlow.h"
#include "app/Operazione.h"
#include "app/Verifica.h"
#include "core/Annulments.h"
#include "core/AttachmentFolder.h"
#include "core/Backup.h"
#include "core/Fingerprints.h"
#include "core/RecordArchive.h"
#include "core/Restore.h"
#include "documents/Altri.h"
#include "documents/ExpAltri.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"
#include "protocol/Annulla.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "report/DailyRegisterReport.h"
#include "report/Report.h"
#include "ui/Cronologia.h"
#include "ui/FormatButton.h"
#include "ui/Services.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

// The history window of card 1 of a register of three saves, drawn into `out`.
bool drawHistory(const QString& out, const QString& state) {
    QTemporaryDir dir;
    const Services::FolderScope folder(QDir::toNativeSeparators(dir.path() + u'/'));
    const QString path = dir.filePath(QStringLiteral("2026.prt"));
    const ProtocolGenerator generator(1, 2026);
    const auto save = [&](const QDateTime& at, Journal::Kind kind) {
        RecordArchive archive(path, ProtocolRecord::layout());
        archive.setJournaling({ProtocolRecord::journalIdentity(path), at, kind});
        return archive;
    };
    ProtocolRecord card = generator.card(9, 100);
    const QDate day(2026, 2, 4);
    if (!save(QDateTime(day, QTime(9, 12, 40)), Journal::Kind::New).append(card))
        return false;
    card.setText(ProtocolRecord::Oggetto,
                 card.text(ProtocolRecord::Oggetto) + QStringLiteral(" (con allegato)"));
    card.setText(ProtocolRecord::Pagine, QStringLiteral("9"));
    if (!save(QDateTime(day.addDays(1), QTime(11, 3, 5)), Journal::Kind::Rewrite).update(1, card))
        return false;
    card.setText(ProtocolRecord::Note, QStringLiteral("Risposta inviata il 12/02/2026."));
    card.setText(ProtocolRecord::File01, QStringLiteral("risposta.pdf"));
    if (!save(QDateTime(day.addDays(8), QTime(16, 45, 0)), Journal::Kind::Rewrite).update(1, card))
        return false;

    // A card stored by a copy that kept no journal, after the others.
    if (state == QLatin1String("senza") &&
        !RecordArchive(path, ProtocolRecord::layout()).append(generator.card(3, 100)))
        return false;
    if (state == QLatin1String("alterata")) {
        // One byte of the third line, and the first line of the last change taken out.
        QFile journal(Journal::pathFor(path));
        if (!journal.open(QIODevice::ReadOnly))
            return false;
        QList<QByteArray> lines = journal.readAll().split('\n');
        journal.close();
        lines[2][3] = char(lines[2][3] ^ 0x20);
        lines.removeAt(29);
        if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            journal.write(lines.join('\n')) < 0)
            return false;
        journal.close();
    }

    TfrmProtocollo window;
    window.openRegister(QStringLiteral("2026"));
    window.resize(1280, 1024);
    window.show();
    if (state == QLatin1String("senza"))
        window.last();
    else
        window.loadCard(card, 1);
    bool drawn = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* history = qobject_cast<TfrmCronologia*>(QApplication::activeModalWidget());
        if (!history || !history->isLoaded())
            return;
        // The last saves, where the changes are.
        history->findChild<QTableView*>()->scrollToBottom();
        drawn = history->grab().save(out);
        history->accept();
    });
    poll.start(20);
    window.openHistory();
    return drawn;
}

// A card of a register in a temporary folder with three attached files and their
// fingerprints, in the protocol card window (`out`) and its further attachments (`further`).
bool drawFingerprints(const QString& out, const QString& further) {
    QTemporaryDir dir;
    const Services::FolderScope folder(QDir::toNativeSeparators(dir.path() + u'/'));
    const QString path = dir.filePath(QStringLiteral("2026.prt"));
    QDir(dir.path()).mkdir(AttachmentFolder::Name);
    ProtocolRecord card = ProtocolGenerator(1, 2026).card(9, 100);
    QList<Fingerprints::Shown> shown;
    const auto attach = [&](ProtocolRecord::Field field, const QString& name,
                            const QByteArray& bytes) {
        QFile file(dir.filePath(AttachmentFolder::Name + u'/' + name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        card.setText(field, name);
        const FieldSpec& spec = ProtocolRecord::layout().field(field);
        shown.append({QString::fromLatin1(spec.name), name, Journal::digest(bytes)});
        return true;
    };
    if (!attach(ProtocolRecord::Copia, QStringLiteral("lettera del 5 marzo.pdf"), "%PDF-1.4 a") ||
        !attach(ProtocolRecord::File01, QStringLiteral("planimetria.pdf"), "%PDF-1.4 b") ||
        !attach(ProtocolRecord::File02, QStringLiteral("ricevuta.jpg"), "JFIF c"))
        return false;
    RecordArchive archive(path, ProtocolRecord::layout());
    RecordArchive::Journaling journaling{ProtocolRecord::journalIdentity(path),
                                         QDateTime(QDate(2026, 3, 5), QTime(10, 30)),
                                         Journal::Kind::New};
    Fingerprints::install(journaling, path, shown);
    archive.setJournaling(std::move(journaling));
    if (!archive.append(card))
        return false;

    TfrmProtocollo window;
    window.openRegister(QStringLiteral("2026"));
    window.resize(1280, 1024);
    window.show();
    window.first();
    QApplication::processEvents();
    bool drawn = window.grab().save(out);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == &window)
            return;
        drawn = dialog->grab().save(further) && drawn;
        dialog->close();
    });
    poll.start(50);
    window.openFurtherAttachments();
    return drawn;
}

// The register "2026.prt" made anew in `folder` (its side files too), saved through as the
// protocol card window saves.
// The three export windows over 30 generated cards of each archive in `folder`.
bool drawExports(const QString& protocol, const QString& documents, const QString& summary,
                 const QString& folder) {
    const Services::FolderScope scope(QDir::toNativeSeparators(folder + u'/'));
    const QString registerPath = QDir(folder).filePath(QStringLiteral("2026.prt"));
    const QString indexPath = QDir(folder).filePath(QStringLiteral("Schedario_Documenti.pro"));
    ProtocolGenerator(1, 2026).writeRegister(registerPath, 30);
    DocumentGenerator(1, 2026).writeIndex(indexPath, 30);
    const auto draw = [](QWidget& window, const QString& out) {
        window.show();
        QApplication::processEvents();
        return window.grab().save(out);
    };
    TfrmExpProtocollo exportWindow(nullptr, registerPath);
    TfrmExpAltri documentWindow(nullptr, indexPath);
    TfrmRiepProtocollo summaryWindow(nullptr, registerPath);
    if (!draw(exportWindow, protocol) || !draw(documentWindow, documents) ||
        !draw(summaryWindow, summary))
        return false;
    auto* cmdFormato = exportWindow.findChild<FormatButton*>(QStringLiteral("cmdFormato"));
    cmdFormato->click();
    QApplication::processEvents();
    return cmdFormato->menu()->grab().save(QDir(folder).filePath(QStringLiteral("formati.png")));
}

RecordArchive freshRegister(const QString& folder, const QDateTime& at) {
    const QString path = QDir(folder).filePath(QStringLiteral("2026.prt"));
    for (const QString& file :
         {path, Journal::pathFor(path), Annulments::pathFor(path), Fingerprints::pathFor(path)})
        QFile::remove(file);
    RecordArchive archive(path, ProtocolRecord::layout());
    archive.setJournaling(Annulments::journaling(path, at));
    return archive;
}

// Prints to one PDF file, as the system's dialog would when told to.
class PdfPrinter final : public PrinterService {
public:
    explicit PdfPrinter(QString path) : m_path(std::move(path)) {}
    bool print(QWidget*, const Report::Prepared& report) override {
        return Report::writePdf(report, m_path);
    }

private:
    QString m_path;
};

// The check window over a register and an index spoilt in several ways.
bool drawCheck(const QString& out, const QString& pdf) {
    QTemporaryDir dir;
    const Services::FolderScope folder(QDir::toNativeSeparators(dir.path() + u'/'));
    PdfPrinter printer(pdf);
    Services::setPrinter(&printer);
    const QString path = dir.filePath(QStringLiteral("2026.prt"));
    QDir(dir.path()).mkdir(AttachmentFolder::Name);
    const ProtocolGenerator generator(1, 2026);
    RecordArchive archive(path, ProtocolRecord::layout());
    archive.setJournaling({ProtocolRecord::journalIdentity(path),
                           QDateTime(QDate(2026, 3, 5), QTime(10, 30)), Journal::Kind::New});
    for (int i = 0; i < 12; ++i) {
        ProtocolRecord card = generator.card(i, 100);
        card.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(i < 9 ? i + 1 : i + 3));
        if (i == 6)
            card.setText(ProtocolRecord::Numero, QStringLiteral("5/2026"));
        for (auto field : {ProtocolRecord::Copia, ProtocolRecord::File01, ProtocolRecord::File02,
                           ProtocolRecord::File03})
            card.setText(field, {});
        if (i == 3)
            card.setText(ProtocolRecord::Copia, QStringLiteral("delibera 12.pdf"));
        if (!archive.append(card))
            return false;
    }
    QFile unnamed(dir.filePath(AttachmentFolder::Name + QStringLiteral("/vecchia bozza.docx")));
    if (!unnamed.open(QIODevice::WriteOnly) || unnamed.write("bozza") != 5)
        return false;
    unnamed.close();
    QFile journal(Journal::pathFor(path));
    if (!journal.open(QIODevice::ReadOnly))
        return false;
    QList<QByteArray> lines = journal.readAll().split('\n');
    journal.close();
    lines[4][3] = char(lines[4][3] ^ 0x20);
    if (!journal.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        journal.write(lines.join('\n')) < 0)
        return false;
    journal.close();

    TfrmVerifica window(nullptr);
    window.show();
    window.start();
    while (window.running())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    const bool drawn = window.grab().save(out);
    window.findChild<QPushButton*>(QStringLiteral("btnStampa"))->click();
    Services::setPrinter(nullptr);
    return drawn && QFileInfo(pdf).size() > 0;
}

} // namespace

bool drawEveryYear(const QString& out, const QString& results, const QString& folder) {
    const Services::FolderScope drawn(QDir(folder).absolutePath());
    for (const int year : {2024, 2025, 2026}) {
        const RecordArchive archive(drawn.programFolder() + QStringLiteral("%1.prt").arg(year),
                                    ProtocolRecord::layout());
        QFile::remove(archive.path());
        const ProtocolGenerator generator(1, year);
        for (int i = 0; i < 12; ++i) {
            if (!archive.append(generator.card(i, 12)))
                return false;
        }
    }
    TfrmProtocollo card;
    card.openRegister(QStringLiteral("2026"));
    TfrmTrovaProtocollo window(nullptr, &card);
    window.show();
    window.findChild<QCheckBox*>(QStringLiteral("chkTuttiGliAnni"))->setChecked(true);
    QApplication::processEvents();
    bool ok = window.grab().save(out);
    window.search();
    QApplication::processEvents();
    ok = window.grab().save(results) && ok;
    return ok;
}

bool drawBackup(const QString& out, const QString& question, const QString& folder) {
    const Services::FolderScope scope(folder);
    const RecordArchive archive =
        freshRegister(folder, QDateTime(QDate(2026, 3, 5), QTime(10, 30)));
    for (int n = 0; n < 12; ++n) {
        if (!archive.append(ProtocolGenerator(1, 2026).card(n, 100)))
            return false;
    }
    bool ok = false;
    TfrmOperazione window(nullptr, "frmBackup", QStringLiteral("Backup"),
                          QStringLiteral("Copia in un unico file zip i registri, lo schedario, "
                                         "la cronologia, le impostazioni, la password e i file "
                                         "allegati, con l'elenco del loro contenuto."));
    window.run([&](Backup::Control& control) {
        control.total = 1000;
        control.done = 400;
        QThread::msleep(30);
        control.tick();
        ok = window.grab().save(out);
    });
    Backup::Control control;
    const Backup::Result backup =
        Backup::write(folder, folder, QDateTime(QDate(2026, 3, 5), QTime(10, 30)), control);
    const Restore::Checked checked = Restore::inspect(backup.path, folder, control);
    if (!checked.contents)
        return false;
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Conferma"));
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setText(BackupFlow::confirmation(*checked.contents));
    box.show();
    QApplication::processEvents();
    return box.grab().save(question) && ok;
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: windowshot altri|protocollo|cronologia OUT.png [CARD]\n");
        return 2;
    }
    if (args[1] == QLatin1String("annulla")) {
        TfrmAnnulla dialog(nullptr, QStringLiteral("17/2026"));
        dialog.findChild<QLineEdit*>(QStringLiteral("txtMotivo"))
            ->setText(QStringLiteral("Documento registrato due volte (vedi n. 16/2026)"));
        dialog.findChild<QLineEdit*>(QStringLiteral("txtAutorizzato"))
            ->setText(QStringLiteral("Dott.ssa Maria Rossi, responsabile del protocollo"));
        dialog.show();
        QApplication::processEvents();
        return dialog.grab().save(args[2]) ? 0 : 1;
    }
    if (args[1] == QLatin1String("annullata") && args.size() > 3) {
        const QDateTime at(QDate(2026, 3, 5), QTime(10, 30));
        const RecordArchive archive = freshRegister(args[3], at);
        const QString& path = archive.path();
        const Journal::Identity& identity = archive.journaling()->identity;
        const ProtocolRecord card = ProtocolGenerator(1, 2026).card(9, 100);
        if (!archive.append(card) ||
            !archive.annotate(
                1, Annulments::entries(identity, at, 1, card.text(ProtocolRecord::Numero),
                                       QStringLiteral("Documento registrato due volte (vedi n. "
                                                      "16/2026)"),
                                       QStringLiteral("Dott.ssa Maria Rossi"))))
            return 1;
        TfrmProtocollo window;
        window.resize(1280, 1024);
        window.show();
        window.findChild<QLabel*>(QStringLiteral("lblFile"))->setText(path);
        window.loadCard(*archive.read(1), 1);
        QApplication::processEvents();
        return window.grab().save(args[2]) ? 0 : 1;
    }
    if (args[1] == QLatin1String("menu")) {
        TfrmAvvio menu;
        menu.show();
        QApplication::processEvents();
        return menu.grab().save(args[2]) ? 0 : 1;
    }
    if (args[1] == QLatin1String("backup") && args.size() > 4)
        return drawBackup(args[2], args[3], args[4]) ? 0 : 1;
    if (args[1] == QLatin1String("verifica") && args.size() > 3)
        return drawCheck(args[2], args[3]) ? 0 : 1;
    if (args[1] == QLatin1String("impronte") && args.size() > 3)
        return drawFingerprints(args[2], args[3]) ? 0 : 1;
    if (args[1] == QLatin1String("registro") && args.size() > 3) {
        const QDateTime at(QDate(2026, 3, 5), QTime(10, 30));
        const RecordArchive archive = freshRegister(args[3], at);
        const QString& path = archive.path();
        const Journal::Identity& identity = archive.journaling()->identity;
        const ProtocolGenerator generator(1, 2026);
        for (int i = 0; i < 120; ++i) {
            ProtocolRecord card = generator.card(i, 120);
            // Eight cards a day from the 2nd of March, number 7 never given.
            const int n = i < 6 ? i + 1 : i + 2;
            card.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
            card.setText(ProtocolRecord::DataReg,
                         QDate(2026, 3, 2).addDays(i / 8).toString(QStringLiteral("dd/MM/yyyy")));
            if (!archive.append(card))
                return 1;
        }
        for (const int p : {3, 20}) {
            const auto card = archive.read(p);
            if (!card ||
                !archive.annotate(
                    p, Annulments::entries(identity, at, p, card->text(ProtocolRecord::Numero),
                                           QStringLiteral("Documento registrato due volte"),
                                           QStringLiteral("Dott.ssa Maria Rossi"))))
                return 1;
        }
        TfrmRiepProtocollo window(nullptr, path);
        window.show();
        window.findChild<QLineEdit*>(QStringLiteral("txtDataInizio"))
            ->setText(QStringLiteral("02/03/2026"));
        window.findChild<QLineEdit*>(QStringLiteral("txtDataFine"))
            ->setText(QStringLiteral("31/12/2026"));
        // The longest hint the window writes: it must end before the register's button.
        window.findChild<QLabel*>(QStringLiteral("panInfo"))
            ->setText(QStringLiteral("Visualizza il riepilogo dei documenti protocollati "
                                     "nell'intervallo di tempo selezionato."));
        QApplication::processEvents();
        const auto run = DailyRegister::daily(path, QDate(2026, 3, 2), QDate(2026, 12, 31));
        const auto closing = DailyRegister::closing(path);
        if (!run || !closing)
            return 1;
        const QDateTime now = QDateTime::currentDateTime();
        const Report::Prepared pages = DailyRegisterReport::prepare(
            {DailyRegisterReport::dailyRegister(*run, QStringLiteral("2026.prt"), 2026, now),
             DailyRegisterReport::yearClosing(*closing, QStringLiteral("2026.prt"), 2026, now)},
            now);
        if (!Report::writePdf(pages, QDir(args[3]).filePath(QStringLiteral("registro.pdf"))))
            return 1;
        return window.grab().save(args[2]) ? 0 : 1;
    }
    if (args[1] == QLatin1String("esporta") && args.size() > 5)
        return drawExports(args[2], args[3], args[4], args[5]) ? 0 : 1;
    if (args[1] == QLatin1String("trova") && args.size() > 4)
        return drawEveryYear(args[2], args[3], args[4]) ? 0 : 1;
    if (args[1] == QLatin1String("cronologia"))
        return drawHistory(args[2], args.value(3)) ? 0 : 1;
    std::unique_ptr<CardWindow> window;
    const int card = args.size() > 3 ? args[3].toInt() : -1;
    if (args[1] == QLatin1String("altri")) {
        window = std::make_unique<TfrmAltri>();
        window->resize(1280, 1024);
        window->show();
        if (card >= 0)
            window->loadCard(DocumentGenerator(1, 2026).card(card, 100), card + 1);
    } else if (args[1] == QLatin1String("protocollo")) {
        window = std::make_unique<TfrmProtocollo>();
        window->resize(1280, 1024);
        window->show();
        if (card >= 0)
            window->loadCard(ProtocolGenerator(1, 2026).card(card, 100), card + 1);
    } else {
        std::fprintf(stderr, "unknown window\n");
        return 2;
    }
    QApplication::processEvents();
    return window->grab().save(args[2]) ? 0 : 1;
}
