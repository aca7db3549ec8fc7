#include "Backup.h"

#include "Annulments.h"
#include "ArchiveCheck.h"
#include "AttachmentFolder.h"
#include "BackupManifest.h"
#include "Credential.h"
#include "Fingerprints.h"
#include "Journal.h"
#include "RecordFile.h"
#include "RecordLayout.h"
#include "Settings.h"
#include "platform/FileLock.h"
#include "platform/NativePath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace Backup {
namespace {

constexpr qint64 kBlock = 1 << 20;
// Small blocks while an archive is copied under its lock: the copy answers a cancel at once.
constexpr qint64 kCopyBlock = 64 * 1024;
const QString kCopyPrefix = QStringLiteral(".allegato-");

// The shared lock of an archive (its record file) or of the settings or the credential
// (their lock files), held for the life of the object.
class HeldLock {
public:
    HeldLock() = default;
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

    // `path`: the archive, the settings or the credential.
    bool take(const QString& path) {
        if (const RecordLayout* layout = ArchiveCheck::archiveLayout(QFileInfo(path).fileName())) {
            m_record = std::make_unique<RecordFile>(layout->size());
            return m_record->open(path, RecordFile::Access::Read);
        }
        // A folder where no lock file can be made is read all the same, as the settings are.
        if (!FileLock::openLockFile(m_file, path + QStringLiteral(".lock")))
            return true;
        return FileLock::take(m_file, FileLock::Mode::Shared, RecordFile::kLockTimeoutMs, m_locked);
    }
    ~HeldLock() {
        if (m_locked)
            FileLock::release(m_file);
    }

private:
    bool m_locked = false;
    std::unique_ptr<RecordFile> m_record;
    QFile m_file;
};

// Copies `from` to `to` in blocks, counting them in `control`; false when a read or a write
// failed or the backup was cancelled.
bool copy(const QString& from, const QString& to, Control& control) {
    QFile in;
    QFile out(to);
    if (!FileLock::openForReading(in, from) || in.isSequential() ||
        !out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QByteArray block(kCopyBlock, Qt::Uninitialized);
    for (;;) {
        if (control.cancel)
            return false;
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (out.write(block.constData(), n) != n)
            return false;
        control.done += n;
        if (control.tick)
            control.tick();
    }
    out.close();
    return out.error() == QFileDevice::NoError;
}

struct Writer;

// One file streamed into the zip: read in blocks as libzip asks, its size and SHA-256
// counted on the way, so the list of contents says what the zip holds. The file and the
// hash exist only while libzip reads it: a backup may hold a great many files.
struct Entry {
    Writer* writer = nullptr;
    QString path;     // where it is read from
    QString relative; // in the zip
    std::unique_ptr<QFile> file;
    std::unique_ptr<QCryptographicHash> hash;
    QByteArray sha256;
    qint64 size = 0;
    bool done = false;
    zip_error_t error;

    Entry() { zip_error_init(&error); }
    Entry(const Entry&) = delete;
    Entry& operator=(const Entry&) = delete;
    ~Entry() { zip_error_fini(&error); }
};

struct Writer {
    Control& control;
    std::vector<std::unique_ptr<Entry>> entries;
    BackupManifest::Manifest manifest;
    QByteArray manifestBytes;
    qint64 manifestOffset = 0;
    zip_error_t manifestError;
    QString failure;

    explicit Writer(Control& c) : control(c) { zip_error_init(&manifestError); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    ~Writer() { zip_error_fini(&manifestError); }
};

zip_int64_t fail(zip_error_t* error, int code, int system = 0) {
    zip_error_set(error, code, system);
    return -1;
}

// What both sources of the zip (a file, the list of contents) answer alike, besides open,
// read and close. No size is given ahead: it is what is read, not what the folder said a
// moment ago.
zip_int64_t answerAlike(zip_error_t* error, void* data, zip_uint64_t length,
                        zip_source_cmd_t command) {
    switch (command) {
    case ZIP_SOURCE_STAT:
        zip_stat_init(static_cast<zip_stat_t*>(data));
        return sizeof(zip_stat_t);
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(error, data, length);
    case ZIP_SOURCE_FREE:
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              ZIP_SOURCE_SUPPORTS, -1);
    default:
        return fail(error, ZIP_ER_OPNOTSUPP);
    }
}

zip_int64_t entryCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* e = static_cast<Entry*>(state);
    Control& control = e->writer->control;
    switch (command) {
    case ZIP_SOURCE_OPEN:
        e->file = std::make_unique<QFile>();
        if (!FileLock::openForReading(*e->file, e->path) || e->file->isSequential()) {
            e->writer->failure = QStringLiteral("Impossibile leggere «%1».").arg(e->relative);
            return fail(&e->error, ZIP_ER_OPEN);
        }
        e->hash = std::make_unique<QCryptographicHash>(QCryptographicHash::Sha256);
        e->size = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        if (control.cancel)
            return fail(&e->error, ZIP_ER_CANCELLED);
        const qint64 n = e->file->read(
            static_cast<char*>(data), qint64(std::min<zip_uint64_t>(length, zip_uint64_t(kBlock))));
        if (n < 0) {
            e->writer->failure = QStringLiteral("Impossibile leggere «%1».").arg(e->relative);
            return fail(&e->error, ZIP_ER_READ);
        }
        e->hash->addData(QByteArrayView(static_cast<const char*>(data), n));
        e->size += n;
        control.done += n;
        if (control.tick)
            control.tick();
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        e->file.reset();
        e->sha256 = e->hash->result().toHex();
        e->hash.reset();
        e->done = true;
        return 0;
    default:
        return answerAlike(&e->error, data, length, command);
    }
}

// The list of contents is the zip's last entry: libzip writes the entries in order, so it
// is made when every file before it has been read.
zip_int64_t manifestCallback(void* state, void* data, zip_uint64_t length,
                             zip_source_cmd_t command) {
    auto* w = static_cast<Writer*>(state);
    qint64& offset = w->manifestOffset;
    switch (command) {
    case ZIP_SOURCE_OPEN:
        w->manifest.files.clear();
        for (const auto& e : w->entries) {
            if (!e->done)
                return fail(&w->manifestError, ZIP_ER_INTERNAL);
            w->manifest.files.append({e->relative, e->size, e->sha256});
        }
        w->manifestBytes = BackupManifest::write(w->manifest);
        offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = std::min<qint64>(qint64(length), w->manifestBytes.size() - offset);
        memcpy(data, w->manifestBytes.constData() + offset, size_t(n));
        offset += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    default:
        return answerAlike(&w->manifestError, data, length, command);
    }
}

bool addEntry(zip_t* zip, zip_source_t* source, const QString& name) {
    const zip_int64_t index =
        zip_file_add(zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
    if (index < 0) {
        zip_source_free(source);
        return false;
    }
    // The fastest deflate: the registers' blank-padded fields shrink just as well, and the
    // backup is done sooner.
    return zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) == 0;
}

} // namespace

QString fileName(const QDateTime& at) {
    return QStringLiteral("Faldora_Backup_%1.zip")
        .arg(at.toString(QStringLiteral("yyyy-MM-dd_HHmm")));
}

QStringList sideSuffixes() {
    return {Journal::kSuffix, Annulments::kSuffix, Fingerprints::kSuffix};
}

QList<Item> dataIn(const QString& programFolder) {
    QList<Item> items;
    const QDir folder(programFolder);
    for (const QString& archive : ArchiveCheck::archivesIn(programFolder)) {
        items.append({archive, archive});
        for (const QString& suffix : sideSuffixes()) {
            if (QFileInfo(folder.filePath(archive + suffix)).isFile())
                items.append({archive + suffix, archive});
        }
    }
    for (const QString& name : {Settings::FileName, Credential::FileName}) {
        if (QFileInfo(folder.filePath(name)).isFile())
            items.append({name, name});
    }
    const QString attachments = folder.filePath(AttachmentFolder::Name);
    QStringList inside;
    QDirIterator it(attachments, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().startsWith(kCopyPrefix) || !it.fileInfo().isFile())
            continue;
        inside.append(AttachmentFolder::Name + u'/' +
                      QDir(attachments).relativeFilePath(it.filePath()));
    }
    inside.sort();
    for (const QString& path : inside)
        items.append({path, QString()});
    return items;
}

bool isDataPath(const QString& path) {
    if (path.contains(u'\\'))
        return false;
    const QStringList parts = path.split(u'/');
    if (parts.size() == 1) {
        const QString& name = parts.first();
        if (name == Settings::FileName || name == Credential::FileName ||
            ArchiveCheck::archiveLayout(name))
            return true;
        for (const QString& suffix : sideSuffixes()) {
            if (name.endsWith(suffix) && ArchiveCheck::archiveLayout(name.chopped(suffix.size())))
                return true;
        }
        return false;
    }
    if (parts.first() != AttachmentFolder::Name)
        return false;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QString& part = parts[i];
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..") ||
            !AttachmentFolder::isPortableName(part))
            return false;
    }
    return true;
}

Result write(const QString& programFolder, const QString& targetFolder, const QDateTime& at,
             Control& control) {
    Result result;
    const QDir target(targetFolder);
    const QString attachments =
        QDir::cleanPath(QDir(programFolder).filePath(AttachmentFolder::Name));
    const QString cleanTarget = QDir::cleanPath(target.absolutePath());
    if (cleanTarget == attachments || cleanTarget.startsWith(attachments + u'/')) {
        result.error = QStringLiteral("Il backup non può stare nella cartella %1: scegliere "
                                      "un'altra cartella.")
                           .arg(AttachmentFolder::Name);
        return result;
    }

    Writer writer(control);
    writer.manifest.programVersion = BackupManifest::programVersion();
    writer.manifest.date = at;
    const QList<Item> items = dataIn(programFolder);
    // A name that a restore would refuse makes a backup that cannot be restored.
    for (const Item& item : items) {
        if (!isDataPath(item.path)) {
            result.error = QStringLiteral("Il file «%1» ha un nome che non tutti i sistemi "
                                          "accettano: rinominarlo e rifare il backup.")
                               .arg(item.path);
            return result;
        }
    }
    qint64 total = 0;
    for (const Item& item : items) {
        const qint64 size = QFileInfo(QDir(programFolder).filePath(item.path)).size();
        // What a lock covers is read twice: copied, then zipped.
        total += item.lockedBy.isEmpty() ? size : 2 * size;
    }
    control.total = total;
    control.done = 0;

    // Each archive with its side files, and the settings and the credential, copied aside
    // under their locks: another copy's save waits only for that copy, not for the zip.
    QTemporaryDir snapshot;
    for (qsizetype i = 0; i < items.size();) {
        const QString lockedBy = items[i].lockedBy;
        qsizetype end = i + 1;
        while (end < items.size() && !lockedBy.isEmpty() && items[end].lockedBy == lockedBy)
            ++end;
        HeldLock lock;
        if (!lockedBy.isEmpty() && !lock.take(QDir(programFolder).filePath(lockedBy))) {
            result.error = QStringLiteral("«%1» è in uso da un'altra copia di Faldora da troppo "
                                          "tempo: riprovare tra poco.")
                               .arg(lockedBy);
            return result;
        }
        for (; i < end; ++i) {
            auto entry = std::make_unique<Entry>();
            entry->writer = &writer;
            entry->relative = items[i].path;
            entry->path = QDir(programFolder).filePath(items[i].path);
            if (!lockedBy.isEmpty()) {
                const QString copied = QDir(snapshot.path()).filePath(items[i].path);
                if (!snapshot.isValid() || !copy(entry->path, copied, control)) {
                    result.outcome = control.cancel ? Outcome::Cancelled : Outcome::Failed;
                    if (!control.cancel)
                        result.error = QStringLiteral("Impossibile copiare «%1» nella cartella "
                                                      "temporanea del sistema: controllare lo "
                                                      "spazio libero.")
                                           .arg(items[i].path);
                    return result;
                }
                entry->path = copied;
            }
            writer.entries.push_back(std::move(entry));
        }
    }

    QString temporary;
    do {
        temporary = target.filePath(
            QStringLiteral("Faldora_Backup_in_corso_%1.tmp")
                .arg(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFF, 0, 36));
    } while (QFileInfo::exists(temporary));

    const auto failed = [&](const QString& why) {
        QFile::remove(temporary);
        result.outcome = control.cancel ? Outcome::Cancelled : Outcome::Failed;
        result.error = writer.failure.isEmpty() ? why : writer.failure;
        return result;
    };
    const QString writeError =
        QStringLiteral("Impossibile scrivere il backup nella cartella «%1»: controllare che "
                       "esista, che sia scrivibile e che ci sia spazio libero.")
            .arg(QDir::toNativeSeparators(targetFolder));

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* file = NativePath::zipSource(temporary, &error);
    zip_t* zip = file ? zip_open_from_source(file, ZIP_CREATE | ZIP_EXCL, &error) : nullptr;
    zip_error_fini(&error);
    if (!zip) {
        if (file)
            zip_source_free(file);
        return failed(writeError);
    }
    bool added = true;
    for (const auto& e : writer.entries) {
        zip_source_t* source = zip_source_function(zip, entryCallback, e.get());
        added = added && source && addEntry(zip, source, e->relative);
    }
    zip_source_t* manifest = zip_source_function(zip, manifestCallback, &writer);
    added = added && manifest && addEntry(zip, manifest, BackupManifest::kEntryName);
    if (!added || zip_close(zip) != 0) {
        zip_discard(zip);
        return failed(writeError);
    }

    // On the disk before it takes its name.
    QFile written(temporary);
    if (!written.open(QIODevice::ReadWrite) || !FileLock::sync(written))
        return failed(writeError);
    written.close();
    QString final = target.filePath(fileName(at));
    for (int n = 2; QFileInfo::exists(final); ++n)
        final = target.filePath(fileName(at).chopped(4) + QStringLiteral("_%1.zip").arg(n));
    if (!FileLock::rename(temporary, final))
        return failed(writeError);
    FileLock::syncFolderOf(final);
    result.outcome = Outcome::Written;
    result.path = final;
    return result;
}

} // namespace Backup
