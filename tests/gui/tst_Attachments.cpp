#include "core/AttachmentFolder.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "protocol/Protocollo.h"
#include "support/ChosenNameRows.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/ReadOnly.h"
#include "support/TestServices.h"
#include "ui/AllegaCartella.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

Q_DECLARE_METATYPE(MessageKind)

namespace {

const QString kOverwrite = QStringLiteral(
    "Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso "
    "nome.\r\n\r\nSi vuole sovrascrivere il file esistente?");
const QString kCopyFailed = QStringLiteral(
    "Attenzione: non è stato possibile copiare il file nella cartella dei documenti allegati.");

// The control `prefix` of the further attachments' slot `slot`, from 0: "txtDesc", 1 is
// txtDesc02.
template <typename T> T* slotControl(QWidget* window, const char* prefix, int slot) {
    const QByteArray name = prefix + QByteArray::number(slot + 1).rightJustified(2, '0');
    return control<T>(window, name.constData());
}

struct Fixture {
    TestServices services;
    QTemporaryDir elsewhere; // where the user's own files are
    TfrmProtocollo card;
    QString folder = services.file(QStringLiteral("Documenti_Allegati"));

    Fixture() { label("lblFile")->setText(services.file(QStringLiteral("2026.prt"))); }

    // The card window's controls, by name.
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(&card, name); }
    QLabel* label(const char* name) const { return control<QLabel>(&card, name); }
    QRadioButton* radio(const char* name) const { return control<QRadioButton>(&card, name); }
    QAbstractButton* button(const char* name) const {
        return control<QAbstractButton>(&card, name);
    }

    QString userFile(const QString& name, const QByteArray& bytes) {
        const QString path = elsewhere.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    QByteArray attached(const QString& name) const {
        QFile f(folder + QDir::separator() + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void browse(const QString& path) {
        services.nextFiles.append(path);
        QTest::mouseClick(button("btnSfoglia"), Qt::LeftButton);
    }
};

enum class Source { Whole, CutMidway, GrownMidway, Pipe, Device, Folder, SizeLimit, FullTmpfs };

#ifdef Q_OS_UNIX
// Opens the write end of the named pipe at `path` whenever a reader waits on it, so that no
// reader stays blocked, and tells whether one ever did.
class PipeWatch {
public:
    explicit PipeWatch(const QString& path) : m_path(QFile::encodeName(path)) {
        m_thread = std::thread([this] {
            while (!m_stop) {
                const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_waited = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    ~PipeWatch() {
        m_stop = true;
        m_thread.join();
    }
    bool readerWaited() const { return m_waited; }

private:
    QByteArray m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_waited{false};
    std::thread m_thread;
};
#endif

} // namespace

Q_DECLARE_METATYPE(Source)

class TestAttachments : public QObject {
    Q_OBJECT
private slots:
    void firstAttachmentMakesTheFolder() {
        Fixture f;
        QVERIFY(!QFile::exists(f.folder));
        QVERIFY(!f.button("btnApri")->isEnabled());
        f.browse(f.userFile(QStringLiteral("lettera del 5 marzo.pdf"), "PDF-1"));
        QCOMPARE(f.services.dialogTitles,
                 QStringList{QStringLiteral("Selezionare il file da allegare:")});
        QCOMPARE(f.edit("txtCopia")->text(), QStringLiteral("lettera del 5 marzo.pdf"));
        QCOMPARE(f.attached(QStringLiteral("lettera del 5 marzo.pdf")), QByteArray("PDF-1"));
        QVERIFY(f.button("btnApri")->isEnabled());
        QVERIFY(f.services.messages.isEmpty());
        QTest::mouseClick(f.button("btnApri"), Qt::LeftButton);
        QCOMPARE(f.services.opened, QStringList{u'"' + f.folder + QDir::separator() +
                                                QStringLiteral("lettera del 5 marzo.pdf") + u'"'});
        // No folder remains of the copy but the file itself.
        QCOMPARE(QDir(f.folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("lettera del 5 marzo.pdf")});
    }

    void aNameAlreadyInTheFolder_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("yes replaces") << true;
        QTest::newRow("no keeps the file there") << false;
    }
    void aNameAlreadyInTheFolder() {
        QFETCH(bool, replace);
        Fixture f;
        f.browse(f.userFile(QStringLiteral("fattura.pdf"), "vecchia"));
        f.edit("txtCopia")->clear();
        QTemporaryDir other;
        const QString newer = other.filePath(QStringLiteral("fattura.pdf"));
        QFile file(newer);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("nuova");
        file.close();
        f.services.answers = {replace};
        f.browse(newer);
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Question);
        QCOMPARE(f.services.messages[0].text, kOverwrite);
        QCOMPARE(f.edit("txtCopia")->text(), QStringLiteral("fattura.pdf"));
        QCOMPARE(f.attached(QStringLiteral("fattura.pdf")),
                 replace ? QByteArray("nuova") : QByteArray("vecchia"));
    }

    void theFolderOwnFileKeepsItsBytes_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("yes") << true;
        QTest::newRow("no") << false;
    }
    void theFolderOwnFileKeepsItsBytes() {
        QFETCH(bool, answer);
        Fixture f;
        f.browse(f.userFile(QStringLiteral("verbale.odt"), QByteArray(100000, 'v')));
        f.services.answers = {answer};
        f.browse(f.folder + QDir::separator() + QStringLiteral("verbale.odt"));
        QCOMPARE(f.services.lastMessage().text, kOverwrite);
        QCOMPARE(f.attached(QStringLiteral("verbale.odt")), QByteArray(100000, 'v'));
        QCOMPARE(f.edit("txtCopia")->text(), QStringLiteral("verbale.odt"));
    }

    // The name a chosen file gets: the same in the field, on the stored card and in the
    // folder, for the card's own attachment and for the further ones.
    void theCopyBearsTheNameTheCardStores_data() { addChosenNameRows(); }
    void theCopyBearsTheNameTheCardStores() {
        QFETCH(bool, further);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        Fixture f;
        const QString source = f.userFile(chosen, chosen.toUtf8());
        REQUIRE_CHOSEN_FILE(source);
        QString shown;
        if (further) {
            f.services.nextFiles.append(source);
            ANSWER_MODAL(clicking(f.button("cmdFile")), [&](QDialog* dialog) {
                QTest::mouseClick(control<QAbstractButton>(dialog, "btnSfoglia01"), Qt::LeftButton);
                shown = control<QLineEdit>(dialog, "txtFile01")->text();
                QTest::mouseClick(control<QAbstractButton>(dialog, "btnApplica"), Qt::LeftButton);
            });
        } else {
            f.browse(source);
            shown = f.edit("txtCopia")->text();
        }
        QVERIFY(f.services.messages.isEmpty());
        QCOMPARE(shown, stored);
        QCOMPARE(f.attached(stored), chosen.toUtf8());
        QCOMPARE(QDir(f.folder).entryList(QDir::Files | QDir::Hidden), QStringList{stored});

        // Saved and loaded again, "Apri" names the very file in the folder.
        f.edit("txtNumero")->setText(QStringLiteral("1"));
        f.edit("txtDataReg")->setText(QStringLiteral("05/03/2026"));
        f.edit("txtCategoria")->setText(QStringLiteral("Varie"));
        f.edit("txtOggetto")->setText(QStringLiteral("Allegato"));
        f.radio("optInterna")->setChecked(true);
        QTest::mouseClick(f.button("cmdSalva"), Qt::LeftButton);
        const auto record =
            RecordArchive(f.label("lblFile")->text(), ProtocolRecord::layout()).read(1);
        QVERIFY(record);
        QCOMPARE(ProtocolRecord(record->bytes())
                     .text(further ? ProtocolRecord::File01 : ProtocolRecord::Copia),
                 stored);
        if (further)
            return;
        f.card.PulisciScheda();
        f.card.first();
        QCOMPARE(f.edit("txtCopia")->text(), stored);
        QTest::mouseClick(f.button("btnApri"), Qt::LeftButton);
        const QString opened = f.services.opened.value(0);
        QCOMPARE(opened, u'"' + f.folder + QDir::separator() + stored + u'"');
        QVERIFY(QFile::exists(opened.mid(1, opened.size() - 2)));
    }

    // Two names that Windows-1252 cannot write: two files, and no question about a file of
    // the same name.
    void namesOutsideTheCodePageKeepTheirOwnFiles() {
        Fixture f;
        f.browse(f.userFile(QStringLiteral("Договор.pdf"), "contratto"));
        const QString first = f.edit("txtCopia")->text();
        f.browse(f.userFile(QStringLiteral("Справка.pdf"), "certificato"));
        const QString second = f.edit("txtCopia")->text();
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(first != second);
        QCOMPARE(f.attached(first), QByteArray("contratto"));
        QCOMPARE(f.attached(second), QByteArray("certificato"));
    }

    void cancelledDialogChangesNothing() {
        Fixture f;
        f.edit("txtCopia")->setText(QStringLiteral("prima.pdf"));
        f.browse(QString());
        QCOMPARE(f.edit("txtCopia")->text(), QStringLiteral("prima.pdf"));
        QVERIFY(!QFile::exists(f.folder));
    }

    void failedCopyRestoresTheName_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("folder cannot be made") << "file";
        QTest::newRow("read-only folder") << "readonly";
        QTest::newRow("source gone") << "missing";
    }
    void failedCopyRestoresTheName() {
        QFETCH(QString, how);
        Fixture f;
        f.edit("txtCopia")->setText(QStringLiteral("prima.pdf"));
        QString source = f.userFile(QStringLiteral("nuovo.pdf"), "x");
        std::unique_ptr<ReadOnly> readOnly;
        if (how == QLatin1String("file")) {
            QFile blocker(f.folder); // a file where the folder should be
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else if (how == QLatin1String("readonly")) {
            QVERIFY(QDir().mkpath(f.folder));
            readOnly = std::make_unique<ReadOnly>(f.folder);
            if (!readOnly->ok())
                QSKIP("this machine cannot make the folder read-only");
        } else {
            QFile::remove(source);
        }
        f.browse(source);
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Error);
        QCOMPARE(f.services.messages[0].text, kCopyFailed);
        QCOMPARE(f.edit("txtCopia")->text(), QStringLiteral("prima.pdf"));
    }

    // A copy is attached only when it is the whole source: otherwise the file of that name in
    // the folder stays as it was, no part of the copy is left, the card keeps its former name
    // and the user is told.
    void onlyAWholeCopyIsAttached_data() {
        QTest::addColumn<Source>("source");
        QTest::newRow("regular file, whole") << Source::Whole;
        QTest::newRow("cut during the copy") << Source::CutMidway;
        QTest::newRow("grown during the copy") << Source::GrownMidway;
        QTest::newRow("named pipe") << Source::Pipe;
        QTest::newRow("device /dev/zero") << Source::Device;
        QTest::newRow("folder") << Source::Folder;
        QTest::newRow("full disk, size limit") << Source::SizeLimit;
        QTest::newRow("full disk, full tmpfs") << Source::FullTmpfs;
    }
    void onlyAWholeCopyIsAttached() {
        QFETCH(Source, source);
        Fixture f;
        std::unique_ptr<TinyDisk> disk;
        if (source == Source::FullTmpfs) {
            disk = std::make_unique<TinyDisk>(f.services.folderPath(), 96 * 1024);
            if (!disk->ok())
                QSKIP(qPrintable(disk->why()));
        }
        QByteArray bytes(3 * AttachmentFolder::CopyBlock, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 + i / 4093);
        QString path = f.userFile(QStringLiteral("scansione.pdf"), bytes);
        if (source == Source::Device) {
            path = QStringLiteral("/dev/zero");
            if (!QFile::exists(path))
                QSKIP("no /dev/zero here");
        } else if (source == Source::Folder) {
            QFile::remove(path);
            QVERIFY(QDir().mkpath(path));
        } else if (source == Source::Pipe) {
#ifdef Q_OS_UNIX
            QFile::remove(path);
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#else
            QSKIP("named pipes in the file system are a Unix thing");
#endif
        }
        const QString name = QFileInfo(path).fileName();
        // The file of that name already in the folder, from another card.
        QVERIFY(QDir().mkpath(f.folder));
        writeBytes(f.folder + QDir::separator() + name, "PRECEDENTE");
        f.edit("txtCopia")->setText(QStringLiteral("prima.pdf"));
        f.services.answers = {true};

        std::unique_ptr<FileSizeLimit> limit;
#ifdef Q_OS_UNIX
        std::unique_ptr<PipeWatch> pipe;
        if (source == Source::Pipe)
            pipe = std::make_unique<PipeWatch>(path);
#endif
        // Another program changes the source once the first block is copied.
        struct ObserverReset {
            ~ObserverReset() { AttachmentFolder::setBlockObserver({}); }
        } observerReset;
        bool changed = false;
        if (source == Source::CutMidway || source == Source::GrownMidway) {
            AttachmentFolder::setBlockObserver([&](qint64) {
                if (changed)
                    return;
                changed = true;
                QFile file(path);
                if (source == Source::CutMidway)
                    QVERIFY(file.resize(AttachmentFolder::CopyBlock / 2));
                else
                    QVERIFY(file.open(QIODevice::Append) && file.write("e ancora") == 8);
            });
        } else if (source == Source::SizeLimit) {
            limit = std::make_unique<FileSizeLimit>(AttachmentFolder::CopyBlock + 100);
            if (!limit->ok()) {
                f.services.answers.clear();
                QSKIP(qPrintable(limit->why()));
            }
        } else if (source == Source::FullTmpfs) {
            QVERIFY(disk->fill());
        }
        f.browse(path);
        limit.reset();
        QCOMPARE(changed, source == Source::CutMidway || source == Source::GrownMidway);
#ifdef Q_OS_UNIX
        if (pipe)
            QVERIFY2(!pipe->readerWaited(), "the copy waited on the pipe");
#endif

        QCOMPARE(f.services.messages.size(), source == Source::Whole ? 1 : 2);
        QCOMPARE(f.services.messages[0].text, kOverwrite);
        if (source == Source::Whole) {
            QCOMPARE(f.edit("txtCopia")->text(), name);
            QCOMPARE(f.attached(name), bytes);
        } else {
            QCOMPARE(f.services.messages[1].kind, MessageKind::Error);
            QCOMPARE(f.services.messages[1].text, kCopyFailed);
            QCOMPARE(f.edit("txtCopia")->text(), QStringLiteral("prima.pdf"));
            QCOMPARE(f.attached(name), QByteArray("PRECEDENTE"));
        }
        QCOMPARE(QDir(f.folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{name});
    }

    void clearingAndSavingStoresNoCopy() {
        Fixture f;
        f.card.show();
        f.browse(f.userFile(QStringLiteral("scansione.pdf"), "scan"));
        f.edit("txtNumero")->setText(QStringLiteral("1"));
        f.edit("txtCategoria")->setText(QStringLiteral("Fatture"));
        f.edit("txtOggetto")->setText(QStringLiteral("Fattura"));
        f.radio("optEntrata")->setChecked(true);
        QTest::mouseClick(f.button("imgCancella01"), Qt::LeftButton);
        QVERIFY(f.edit("txtCopia")->text().isEmpty());
        QVERIFY(!f.button("btnApri")->isEnabled());
        f.card.saveCard();
        const auto stored =
            RecordArchive(f.label("lblFile")->text(), ProtocolRecord::layout()).read(1);
        QVERIFY(stored);
        QVERIFY(ProtocolRecord(stored->bytes()).text(ProtocolRecord::Copia).isEmpty());
        QCOMPARE(f.attached(QStringLiteral("scansione.pdf")), QByteArray("scan"));
    }

    void namesWithAFolderPartOpenNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent, backslash") << "..\\x";
        QTest::newRow("absolute") << "/etc/x";
        QTest::newRow("drive") << "C:x";
        QTest::newRow("dot dot") << "..";
    }
    void namesWithAFolderPartOpenNothing() {
        QFETCH(QString, name);
        Fixture f;
        ProtocolRecord r;
        r.setText(ProtocolRecord::Copia, name);
        f.card.CaricaScheda(r, 1);
        QVERIFY(f.button("btnApri")->isEnabled());
        QTest::mouseClick(f.button("btnApri"), Qt::LeftButton);
        QVERIFY(f.services.opened.isEmpty());
    }

    void furtherAttachments() {
        Fixture f;
        f.label("lblFile01")->setText(QStringLiteral(" uno.pdf "));
        f.label("lblDesc01")->setText(QStringLiteral("Primo allegato"));
        f.label("lblDesc03")->setText(QStringLiteral("Solo descrizione"));
        f.services.nextFiles.append(f.userFile(QStringLiteral("due.pdf"), "2"));
        // What the window showed and did, checked once it has closed.
        struct {
            QString tag, file1, desc3, file2, desc1AfterClear, file1AfterClear;
            bool open1 = false, open2 = false, open2AfterBrowse = false, nameReadOnly = false;
            int result = -1;
            std::optional<FurtherAttachments> handedBack;
        } seen;
        ANSWER_MODAL(clicking(f.button("cmdFile")), [&](QDialog* dialog) {
            auto* w = qobject_cast<TfrmAllegaCartella*>(dialog);
            if (!w) {
                dialog->reject();
                return;
            }
            seen.tag = control<QLabel>(w, "lblMemory")->text();
            seen.file1 = control<QLineEdit>(w, "txtFile01")->text();
            seen.open1 = control<QAbstractButton>(w, "btnApri01")->isEnabled();
            seen.open2 = control<QAbstractButton>(w, "btnApri02")->isEnabled();
            seen.desc3 = control<QLineEdit>(w, "txtDesc03")->text();
            seen.nameReadOnly = control<QLineEdit>(w, "txtFile01")->isReadOnly();
            QTest::mouseClick(control<QAbstractButton>(w, "btnSfoglia02"), Qt::LeftButton);
            seen.file2 = control<QLineEdit>(w, "txtFile02")->text();
            seen.open2AfterBrowse = control<QAbstractButton>(w, "btnApri02")->isEnabled();
            control<QLineEdit>(w, "txtDesc02")->setText(QString(300, u'd'));
            QTest::mouseClick(control<QAbstractButton>(w, "btnApri02"), Qt::LeftButton);
            QTest::mouseClick(control<QAbstractButton>(w, "imgCancella01"), Qt::LeftButton);
            seen.file1AfterClear = control<QLineEdit>(w, "txtFile01")->text();
            seen.desc1AfterClear = control<QLineEdit>(w, "txtDesc01")->text();
            QTest::mouseClick(control<QAbstractButton>(w, "btnApplica"), Qt::LeftButton);
            seen.result = w->result();
            seen.handedBack = w->applied();
        });
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(seen.tag, QStringLiteral("protocollo"));
        QCOMPARE(seen.file1, QStringLiteral("uno.pdf"));
        QVERIFY(seen.open1);
        QVERIFY(!seen.open2);
        QCOMPARE(seen.desc3, QStringLiteral("Solo descrizione"));
        QVERIFY(seen.nameReadOnly);
        QCOMPARE(seen.file2, QStringLiteral("due.pdf"));
        QVERIFY(seen.open2AfterBrowse);
        QCOMPARE(f.services.opened.last(),
                 u'"' + f.folder + QDir::separator() + QStringLiteral("due.pdf") + u'"');
        QVERIFY(seen.file1AfterClear.isEmpty());
        QCOMPARE(seen.desc1AfterClear, QStringLiteral("Primo allegato")); // the description stays

        QCOMPARE(seen.result, int(QDialog::Accepted));
        QVERIFY(seen.handedBack);
        QVERIFY(seen.handedBack->files[0].isEmpty());
        QCOMPARE(seen.handedBack->files[1], QStringLiteral("due.pdf"));
        QCOMPARE(seen.handedBack->descriptions[1], QString(300, u'd'));
        QVERIFY(f.label("lblFile01")->text().isEmpty());
        QCOMPARE(f.label("lblFile02")->text(), QStringLiteral("due.pdf"));
        QCOMPARE(f.label("lblDesc02")->text(), QString(300, u'd'));

        // Saved, the description is cut to its field.
        f.edit("txtNumero")->setText(QStringLiteral("1"));
        f.edit("txtDataReg")->setText(QStringLiteral("05/03/2026"));
        f.edit("txtCategoria")->setText(QStringLiteral("Fatture"));
        f.edit("txtOggetto")->setText(QStringLiteral("Fattura"));
        f.radio("optEntrata")->setChecked(true);
        f.card.saveCard();
        const auto stored =
            RecordArchive(f.label("lblFile")->text(), ProtocolRecord::layout()).read(1);
        QVERIFY(stored);
        const ProtocolRecord saved(stored->bytes());
        QCOMPARE(saved.text(ProtocolRecord::Desc02), QString(250, u'd'));
        QCOMPARE(saved.text(ProtocolRecord::File02), QStringLiteral("due.pdf"));
        QCOMPARE(saved.text(ProtocolRecord::Desc03), QStringLiteral("Solo descrizione"));
    }

    void applyWithEmptySlotsEmptiesTheLabels() {
        Fixture f;
        const QList<QLabel*> labels{f.label("lblFile01"), f.label("lblFile02"),
                                    f.label("lblFile03"), f.label("lblDesc01"),
                                    f.label("lblDesc02"), f.label("lblDesc03")};
        for (QLabel* l : labels)
            l->setText(QStringLiteral("qualcosa"));
        std::optional<FurtherAttachments> handedBack;
        ANSWER_MODAL(clicking(f.button("cmdFile")), [&](QDialog* dialog) {
            auto* w = qobject_cast<TfrmAllegaCartella*>(dialog);
            if (!w) {
                dialog->reject();
                return;
            }
            for (int i = 0; i < 3; ++i) {
                QTest::mouseClick(slotControl<QAbstractButton>(w, "imgCancella", i),
                                  Qt::LeftButton);
                slotControl<QLineEdit>(w, "txtDesc", i)->clear();
            }
            QTest::mouseClick(control<QAbstractButton>(w, "btnApplica"), Qt::LeftButton);
            handedBack = w->applied();
        });
        QVERIFY(handedBack);
        for (std::size_t i = 0; i < 3; ++i)
            QVERIFY(handedBack->files[i].isEmpty() && handedBack->descriptions[i].isEmpty());
        for (QLabel* l : labels)
            QVERIFY2(l->text().isEmpty(), qPrintable(l->objectName()));
    }

    void annullaLeavesTheLabelsButNotTheFolder() {
        Fixture f;
        f.services.nextFiles.append(f.userFile(QStringLiteral("tre.pdf"), "3"));
        std::optional<FurtherAttachments> handedBack{FurtherAttachments{}};
        ANSWER_MODAL(clicking(f.button("cmdFile")), [&](QDialog* dialog) {
            auto* w = qobject_cast<TfrmAllegaCartella*>(dialog);
            if (!w) {
                dialog->reject();
                return;
            }
            QTest::mouseClick(control<QAbstractButton>(w, "btnSfoglia03"), Qt::LeftButton);
            QTest::mouseClick(control<QAbstractButton>(w, "btnAnnulla"), Qt::LeftButton);
            handedBack = w->applied();
        });
        QVERIFY(!handedBack);
        QVERIFY(f.label("lblFile03")->text().isEmpty());
        QCOMPARE(f.attached(QStringLiteral("tre.pdf")), QByteArray("3"));
    }

    void tags_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("applied");
        QTest::newRow("documents") << "altri" << true;
        QTest::newRow("protocol, blanks") << " protocollo " << true;
        QTest::newRow("unknown") << "Altri" << false;
        QTest::newRow("none") << "" << false;
    }
    void tags() {
        QFETCH(QString, tag);
        QFETCH(bool, applied);
        TestServices services;
        TfrmAllegaCartella w(nullptr);
        control<QLabel>(&w, "lblMemory")->setText(tag);
        FurtherAttachments before;
        before.files.fill(QStringLiteral("prima"));
        before.descriptions.fill(QStringLiteral("prima"));
        w.fill(before);
        w.show();
        control<QLineEdit>(&w, "txtDesc01")->setText(QStringLiteral("dopo"));
        QTest::mouseClick(control<QAbstractButton>(&w, "btnApplica"), Qt::LeftButton);
        QCOMPARE(w.applied().has_value(), applied);
        if (applied) {
            QCOMPARE(w.applied()->descriptions[0], QStringLiteral("dopo"));
            QCOMPARE(w.applied()->files[0], QStringLiteral("prima"));
        }
        QCOMPARE(w.isVisible(), !applied);
    }
};

QTEST_MAIN(TestAttachments)
#include "tst_Attachments.moc"
