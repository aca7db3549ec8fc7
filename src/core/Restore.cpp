#include "Restore.h"

#include "ArchiveCheck.h"
#include "AttachmentFolder.h"
#include "Credential.h"
#include "DocumentRecord.h"
#include "Fingerprints.h"
#include "ProtocolRecord.h"
#include "RecordFile.h"
#include "Settings.h"
#include "WholeFile.h"
#include "platform/FileLock.h"
#include "platform/NativePath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <memory>
#include <vector>

namespace Restore {
namespace {

constexpr qint64 kBlock = 1 << 20;
// Room left free on the program folder's volume beside the restored files.
constexpr qint64 kSpareBytes = 16 * 1024 * 1024;

const QString kNothingChanged = QStringLiteral(" Nulla è stato modificato.");

std::function<void(int)>& stepObserver() {
    static std::function<void(int)> observer;
    return observer;
}

void step(int n) {
    if (stepObserver())
        stepObserver()(n);
}

struct ZipCloser {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

Zip openZip(const QString& path) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = NativePath::zipSource(path, &error);
    zip_t* zip =
        source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
    if (source && !zip)
        zip_source_free(source);
    zip_error_fini(&error);
    return Zip(zip);
}

bool exists(const QString& path) {
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

// A zip opened and held against its list of contents.
class Reader {
public:
    // The error, in Italian, when the zip is refused; empty when it may be read.
    QString open(const QString& path, const QString& programFolder) {
        m_zip = openZip(path);
        if (!m_zip)
            return QStringLiteral("Il file scelto non è un archivio zip integro: è danneggiato o "
                                  "incompleto.") +
                   kNothingChanged;
        const zip_int64_t count = zip_get_num_entries(m_zip.get(), 0);
        const auto nameAt = [&](zip_int64_t i) {
            const char* raw = zip_get_name(m_zip.get(), zip_uint64_t(i), 0);
            return raw ? QString::fromUtf8(raw) : QString();
        };
        // A zip of another program is told as such before its paths are judged.
        std::optional<zip_uint64_t> manifestAt;
        for (zip_int64_t i = 0; i < count && !manifestAt; ++i) {
            if (nameAt(i) == BackupManifest::kEntryName)
                manifestAt = zip_uint64_t(i);
        }
        QHash<QString, zip_uint64_t> byName;
        for (zip_int64_t i = 0; manifestAt && i < count; ++i) {
            const QString name = nameAt(i);
            if (zip_uint64_t(i) == *manifestAt)
                continue;
            if (!Backup::isDataPath(name))
                return notAllowed(name);
            if (byName.contains(name))
                return lies(QStringLiteral("il file «%1» vi compare due volte").arg(name));
            byName.insert(name, zip_uint64_t(i));
        }
        if (!manifestAt)
            return QStringLiteral("Il file scelto non è un backup di Faldora: non contiene "
                                  "l'elenco del contenuto «%1».")
                       .arg(BackupManifest::kEntryName) +
                   kNothingChanged;
        QByteArray listed;
        if (!inflate(*manifestAt, BackupManifest::kMaxBytes, nullptr, &listed, nullptr))
            return QStringLiteral("Il file scelto non è un backup di Faldora leggibile: "
                                  "l'elenco del contenuto è danneggiato.") +
                   kNothingChanged;
        QString why;
        const auto manifest = BackupManifest::parse(listed, &why);
        if (!manifest)
            return QStringLiteral("Il file scelto non è un backup di Faldora leggibile: %1.")
                       .arg(why) +
                   kNothingChanged;
        m_manifest = *manifest;
        qint64 total = 0;
        for (const BackupManifest::File& file : m_manifest.files) {
            if (!Backup::isDataPath(file.path))
                return notAllowed(file.path);
            const auto at = byName.constFind(file.path);
            if (at == byName.cend())
                return lies(QStringLiteral("manca il file «%1»").arg(file.path));
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(m_zip.get(), *at, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) ||
                !(st.valid & ZIP_STAT_COMP_SIZE))
                return lies(QStringLiteral("il file «%1» non si legge").arg(file.path));
            // Judged on what the list says, before a byte is inflated.
            if (file.size > std::max<qint64>(1, qint64(st.comp_size)) * kMaxRatio)
                return QStringLiteral("Il backup dichiara per «%1» %2 byte in %3 byte compressi: "
                                      "è un archivio costruito per riempire il disco, non un "
                                      "backup di Faldora.")
                           .arg(file.path)
                           .arg(file.size)
                           .arg(st.comp_size) +
                       kNothingChanged;
            if (qint64(st.size) != file.size)
                return lies(
                    QStringLiteral("il file «%1» ha una dimensione diversa").arg(file.path));
            m_entries.append({file, *at});
            total += file.size;
            byName.erase(at);
        }
        if (!byName.isEmpty()) {
            QStringList extra = byName.keys();
            extra.sort();
            return lies(QStringLiteral("il file «%1» non è nell'elenco").arg(extra.first()));
        }
        m_total = total;
        const QStorageInfo volume(programFolder);
        if (volume.isValid() && volume.bytesAvailable() >= 0 &&
            total + kSpareBytes > volume.bytesAvailable())
            return QStringLiteral("Sul disco della cartella del programma non c'è spazio per "
                                  "ripristinare il backup: servono %1 MB liberi.")
                       .arg((total + kSpareBytes) / (1024 * 1024) + 1) +
                   kNothingChanged;
        return {};
    }

    // Inflates every entry, comparing its bytes with the list; each goes to `folder` when
    // given. The error in Italian, empty when every entry is as listed.
    QString readAll(Backup::Control& control, const QString& folder) {
        control.total = m_total;
        control.done = 0;
        QStringList written;
        for (const auto& [file, index] : m_entries) {
            std::unique_ptr<QFile> out;
            if (!folder.isEmpty()) {
                const QString path = QDir(folder).filePath(file.path);
                if (!QDir().mkpath(QFileInfo(path).absolutePath()))
                    return writeError();
                out = std::make_unique<QFile>(path);
                if (!out->open(QIODevice::WriteOnly | QIODevice::NewOnly))
                    return writeError();
            }
            QByteArray sha;
            bool cancelled = false;
            bool whole = true;
            const bool read = inflate(index, file.size, &sha, nullptr, [&](QByteArrayView block) {
                if (out && out->write(block.data(), block.size()) != block.size()) {
                    whole = false;
                    return false;
                }
                control.done += block.size();
                if (control.tick)
                    control.tick();
                cancelled = control.cancel;
                return !cancelled;
            });
            if (cancelled)
                return QStringLiteral("annullato");
            if (out) {
                out->close();
                if (!whole || out->error() != QFileDevice::NoError)
                    return writeError();
                written.append(out->fileName());
            }
            if (!read || sha != file.sha256)
                return lies(
                    QStringLiteral("il file «%1» è diverso da quello salvato").arg(file.path));
        }
        // On the disk, all at once, before any of them takes a place in the folder.
        if (!FileLock::syncFiles(written))
            return writeError();
        return {};
    }

    const BackupManifest::Manifest& manifest() const { return m_manifest; }

private:
    static QString notAllowed(const QString& path) {
        return QStringLiteral("Il backup contiene un percorso non ammesso («%1»), che "
                              "porterebbe fuori dai file di Faldora: non viene ripristinato.")
                   .arg(path) +
               kNothingChanged;
    }
    static QString lies(const QString& what) {
        return QStringLiteral("Il backup non corrisponde al suo elenco del contenuto: %1. Il "
                              "file è danneggiato o è stato modificato.")
                   .arg(what) +
               kNothingChanged;
    }
    static QString writeError() {
        return QStringLiteral("Impossibile scrivere i file del backup nella cartella del "
                              "programma: controllare lo spazio libero e i permessi.") +
               kNothingChanged;
    }

    // Inflates entry `index`, counting: more than `limit` bytes is a failure, whatever the
    // zip declares, and so is fewer than it declares. `sha` gets the hex SHA-256, `bytes`
    // the bytes, `sink` each block (false stops).
    bool inflate(zip_uint64_t index, qint64 limit, QByteArray* sha, QByteArray* bytes,
                 const std::function<bool(QByteArrayView)>& sink) {
        std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(m_zip.get(), index, 0));
        if (!file)
            return false;
        QCryptographicHash hash(QCryptographicHash::Sha256);
        QByteArray block(kBlock, Qt::Uninitialized);
        qint64 total = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(file.get(), block.data(), zip_uint64_t(block.size()));
            if (n < 0)
                return false;
            if (n == 0)
                break;
            total += n;
            if (total > limit)
                return false;
            const QByteArrayView view(block.constData(), qsizetype(n));
            hash.addData(view);
            if (bytes)
                bytes->append(view);
            if (sink && !sink(view))
                return false;
        }
        if (sha)
            *sha = hash.result().toHex();
        return !sink || total == limit;
    }

    Zip m_zip;
    BackupManifest::Manifest m_manifest;
    QList<std::pair<BackupManifest::File, zip_uint64_t>> m_entries;
    qint64 m_total = 0;
};

// An exclusive lock that travels with its file when the file is moved.
class MovingLock {
public:
    bool take(const QString& path, bool lockFile) {
        const bool opened =
            lockFile ? FileLock::openLockFile(m_file, path) : FileLock::openForMoving(m_file, path);
        if (!opened)
            return lockFile; // a folder that takes no lock file is used without one
        return FileLock::take(m_file, FileLock::Mode::Exclusive, RecordFile::kLockTimeoutMs,
                              m_locked);
    }
    ~MovingLock() {
        if (m_locked)
            FileLock::release(m_file);
    }

private:
    QFile m_file;
    bool m_locked = false;
};

// The plan of a swap: where the previous files go and which files come in.
struct Plan {
    QString before;   // folder name in the program folder
    QStringList old;  // names in the program folder, moved into `before`
    QStringList news; // names in the work folder, moved into the program folder

    QByteArray bytes() const {
        QByteArray out = kPlanHeader + '\n';
        out += "prima\t" + before.toUtf8() + '\n';
        for (const QString& name : old)
            out += "vecchio\t" + name.toUtf8() + '\n';
        for (const QString& name : news)
            out += "nuovo\t" + name.toUtf8() + '\n';
        return out;
    }
    static std::optional<Plan> parse(const QByteArray& bytes) {
        const QList<QByteArray> lines = bytes.split('\n');
        if (lines.isEmpty() || lines.first() != kPlanHeader)
            return std::nullopt;
        Plan plan;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (lines[i].isEmpty())
                continue;
            const qsizetype tab = lines[i].indexOf('\t');
            const QByteArray key = lines[i].left(tab);
            const QString value = QString::fromUtf8(lines[i].mid(tab + 1));
            // Only plain names of this folder: a plan never moves anything elsewhere.
            if (tab < 0 || value.isEmpty() || value.contains(u'/') || value.contains(u'\\') ||
                value == QLatin1String("..") || value == QLatin1String("."))
                return std::nullopt;
            if (key == "prima")
                plan.before = value;
            else if (key == "vecchio")
                plan.old.append(value);
            else if (key == "nuovo")
                plan.news.append(value);
            else
                return std::nullopt;
        }
        if (plan.before.isEmpty())
            return std::nullopt;
        return plan;
    }
};

// The names in the program folder that a restore replaces: what a backup takes, its
// attachments folder as one, and a rewrite left pending beside an archive.
QStringList currentNames(const QString& programFolder) {
    QStringList names;
    const QDir folder(programFolder);
    for (const Backup::Item& item : Backup::dataIn(programFolder)) {
        const QString top = item.path.section(u'/', 0, 0);
        if (!names.contains(top))
            names.append(top);
    }
    if (QFileInfo(folder.filePath(AttachmentFolder::Name)).isDir() &&
        !names.contains(AttachmentFolder::Name))
        names.append(AttachmentFolder::Name);
    for (const QString& archive : ArchiveCheck::archivesIn(programFolder)) {
        if (QFileInfo::exists(folder.filePath(archive + RecordFile::kRewriteSuffix)))
            names.append(archive + RecordFile::kRewriteSuffix);
    }
    return names;
}

// Moves back whatever part of `plan` was done; false when a move failed (the plan then
// stays, for the next try).
bool undo(const QString& programFolder, const Plan& plan) {
    const QDir folder(programFolder);
    const QDir work(folder.filePath(kWorkFolder));
    const QDir before(folder.filePath(plan.before));
    bool ok = true;
    for (auto name = plan.news.crbegin(); name != plan.news.crend(); ++name) {
        if (exists(folder.filePath(*name)) && !exists(work.filePath(*name)))
            ok = FileLock::rename(folder.filePath(*name), work.filePath(*name)) && ok;
    }
    for (auto name = plan.old.crbegin(); name != plan.old.crend(); ++name) {
        if (exists(before.filePath(*name)) && !exists(folder.filePath(*name)))
            ok = FileLock::rename(before.filePath(*name), folder.filePath(*name)) && ok;
    }
    if (!ok)
        return false;
    FileLock::syncFolderOf(folder.filePath(kPlanFile));
    if (!QFile::remove(folder.filePath(kPlanFile)))
        return false;
    FileLock::syncFolderOf(folder.filePath(kPlanFile));
    folder.rmdir(plan.before); // only when empty, as it is now
    return true;
}

void removeWorkFolder(const QString& programFolder) {
    QDir(QDir(programFolder).filePath(kWorkFolder)).removeRecursively();
}

} // namespace

void setStepObserver(std::function<void(int step)> observer) {
    stepObserver() = std::move(observer);
}

Checked inspect(const QString& zipPath, const QString& programFolder, Backup::Control& control) {
    Checked checked;
    Reader reader;
    checked.error = reader.open(zipPath, programFolder);
    if (checked.error.isEmpty())
        checked.error = reader.readAll(control, {});
    if (control.cancel) {
        checked.cancelled = true;
        checked.error.clear();
        return checked;
    }
    if (!checked.error.isEmpty())
        return checked;
    Contents contents;
    contents.manifest = reader.manifest();
    QList<std::pair<QString, qint64>> registers;
    for (const BackupManifest::File& file : contents.manifest.files) {
        contents.bytes += file.size;
        if (file.path.startsWith(AttachmentFolder::Name + u'/'))
            ++contents.attachments;
        else if (ArchiveCheck::isRegisterName(file.path))
            registers.append({file.path, file.size / ProtocolRecord::layout().size()});
        else if (file.path == DocumentArchive::FileName)
            contents.cards.append({file.path, file.size / DocumentRecord::layout().size()});
    }
    std::sort(registers.begin(), registers.end(),
              [](const auto& a, const auto& b) { return a.first > b.first; });
    contents.cards = registers + contents.cards;
    checked.contents = contents;
    return checked;
}

Recovery recover(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString planPath = folder.filePath(kPlanFile);
    if (!QFileInfo::exists(planPath)) {
        removeWorkFolder(programFolder);
        return Recovery::Nothing;
    }
    // A copy in the middle of its swap holds this lock: its plan is not a leftover.
    MovingLock settings;
    if (!settings.take(folder.filePath(Settings::FileName + QStringLiteral(".lock")), true))
        return Recovery::Nothing;
    const auto plan = Plan::parse(WholeFile::read(planPath, 1024 * 1024));
    if (!plan || !undo(programFolder, *plan))
        return Recovery::Failed;
    removeWorkFolder(programFolder);
    return Recovery::Undone;
}

Result apply(const QString& zipPath, const QString& programFolder, const QDateTime& at,
             Backup::Control& control) {
    Result result;
    const QDir folder(programFolder);
    if (recover(programFolder) == Recovery::Failed) {
        result.error = QStringLiteral("Un ripristino precedente è rimasto interrotto e non si "
                                      "riesce a riportare i file com'erano: controllare i "
                                      "permessi della cartella del programma.") +
                       kNothingChanged;
        return result;
    }
    const QString workPath = folder.filePath(kWorkFolder);
    const auto fail = [&](const QString& why) {
        removeWorkFolder(programFolder);
        result.outcome = control.cancel ? Outcome::Cancelled : Outcome::Failed;
        result.error = control.cancel ? QString() : why;
        return result;
    };

    Reader reader;
    QString error = reader.open(zipPath, programFolder);
    if (!error.isEmpty())
        return fail(error);
    if (!QDir().mkpath(workPath))
        return fail(QStringLiteral("Impossibile creare la cartella %1 nella cartella del "
                                   "programma: controllare i permessi.")
                        .arg(kWorkFolder) +
                    kNothingChanged);
    error = reader.readAll(control, workPath);
    if (!error.isEmpty())
        return fail(error);
    // Once more from the disk: what was written is what the list says.
    for (const BackupManifest::File& file : reader.manifest().files) {
        const QString path = QDir(workPath).filePath(file.path);
        if (QFileInfo(path).size() != file.size || Fingerprints::ofFile(path) != file.sha256)
            return fail(QStringLiteral("I file estratti dal backup non corrispondono al suo "
                                       "elenco del contenuto: il disco potrebbe essere "
                                       "difettoso.") +
                        kNothingChanged);
    }

    Plan plan;
    const QString before = QStringLiteral("Faldora_Prima_del_ripristino_") +
                           at.toString(QStringLiteral("yyyy-MM-dd_HHmm"));
    plan.before = before;
    for (int n = 2; exists(folder.filePath(plan.before)); ++n)
        plan.before = before + QStringLiteral("_%1").arg(n);
    plan.old = currentNames(programFolder);
    plan.news = QDir(workPath).entryList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);

    // Every archive, old and new, locked for the swap: no other copy is half way through a
    // save of a file that moves, and none starts one on a new file before all are in place.
    std::vector<std::unique_ptr<MovingLock>> locks;
    const auto lock = [&](const QString& path, bool lockFile) {
        locks.push_back(std::make_unique<MovingLock>());
        return locks.back()->take(path, lockFile);
    };
    bool locked = true;
    for (const QString& name : plan.old) {
        if (ArchiveCheck::archiveLayout(name))
            locked = locked && lock(folder.filePath(name), false);
    }
    for (const QString& name : plan.news) {
        if (ArchiveCheck::archiveLayout(name))
            locked = locked && lock(QDir(workPath).filePath(name), false);
    }
    for (const QString& name : {Settings::FileName, Credential::FileName})
        locked = locked && lock(folder.filePath(name + QStringLiteral(".lock")), true);
    if (!locked)
        return fail(QStringLiteral("Gli archivi sono in uso da un'altra copia di Faldora: "
                                   "chiuderla e riprovare.") +
                    kNothingChanged);

    const QString planPath = folder.filePath(kPlanFile);
    if (!WholeFile::replace(planPath, plan.bytes()))
        return fail(QStringLiteral("Impossibile scrivere nella cartella del programma: "
                                   "controllare lo spazio libero e i permessi.") +
                    kNothingChanged);
    int n = 0;
    step(n++);
    const auto undone = [&] {
        const bool back = undo(programFolder, plan);
        locks.clear();
        if (back)
            removeWorkFolder(programFolder);
        result.outcome = Outcome::Failed;
        result.error = back ? QStringLiteral("Il ripristino non è riuscito (un file non si è "
                                             "potuto spostare): i file sono tornati com'erano.")
                            : QStringLiteral("Il ripristino non è riuscito e non tutti i file "
                                             "sono tornati al loro posto: Faldora riproverà "
                                             "al prossimo avvio.");
        return result;
    };
    if (!plan.old.isEmpty() && !folder.mkdir(plan.before))
        return undone();
    for (const QString& name : plan.old) {
        if (!FileLock::rename(folder.filePath(name), folder.filePath(plan.before + u'/' + name)))
            return undone();
        step(n++);
    }
    for (const QString& name : plan.news) {
        if (!FileLock::rename(QDir(workPath).filePath(name), folder.filePath(name)))
            return undone();
        step(n++);
    }
    FileLock::syncFolderOf(folder.filePath(plan.before + QStringLiteral("/x")));
    FileLock::syncFolderOf(planPath);
    if (!QFile::remove(planPath))
        return undone();
    FileLock::syncFolderOf(planPath);
    step(n++);
    locks.clear();
    removeWorkFolder(programFolder);
    result.outcome = Outcome::Restored;
    if (!plan.old.isEmpty())
        result.before = plan.before;
    return result;
}

} // namespace Restore
