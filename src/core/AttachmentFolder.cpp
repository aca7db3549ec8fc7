#include "AttachmentFolder.h"

#include "Cp1252.h"
#include "Fingerprints.h"
#include "TextField.h"
#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <optional>

namespace AttachmentFolder {
namespace {

// The longest last part after a dot taken for an extension that a cut keeps.
constexpr qsizetype kMaxExtension = 16;

bool forbidden(char32_t c) {
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F))
        return true;
    for (char f : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'}) {
        if (c == char32_t(f))
            return true;
    }
    return false;
}

// The code page's character for `c` (given as `units`): itself, its plain letter, or none.
std::optional<QChar> inPage(char32_t c, QStringView units) {
    const QByteArray byte = Cp1252::encode(units.toString());
    if (byte.size() != 1 || (byte[0] == '?' && c != U'?'))
        return std::nullopt;
    return QChar(Cp1252::toUnicode(static_cast<unsigned char>(byte[0])));
}

qsizetype utf8Size(QChar c) {
    return c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
}

qsizetype utf8Size(QStringView text) {
    qsizetype n = 0;
    for (QChar c : text)
        n += utf8Size(c);
    return n;
}

char asciiUpper(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'a' && u <= u'z' ? char(u - 32) : u < 0x80 ? char(u) : '\0';
}

// Windows opens a device instead of a file for these words before the first dot, whatever
// follows them, and ignores the spaces after them.
bool isDeviceName(QStringView name) {
    qsizetype end = name.indexOf(u'.');
    QStringView word = end < 0 ? name : name.first(end);
    while (!word.isEmpty() && word.back() == u' ')
        word.chop(1);
    if (word.size() < 3 || word.size() > 7)
        return false;
    QByteArray upper;
    for (QChar c : word.first(3))
        upper += asciiUpper(c);
    if (word.size() == 3)
        return upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL";
    if (word.size() == 4 && (upper == "COM" || upper == "LPT")) {
        const char16_t d = word[3].unicode();
        return (d >= u'0' && d <= u'9') || d == u'\u00B9' || d == u'\u00B2' || d == u'\u00B3';
    }
    for (QChar c : word.sliced(3))
        upper += asciiUpper(c);
    return upper == "CONIN$" || upper == "CONOUT$";
}

bool withinLimits(QStringView name) {
    return name.size() <= NameCapacity && utf8Size(name) <= NameUtf8Limit;
}

// "~" and eight hex digits of the original's SHA-256. Taken over its UTF-16 units rather
// than UTF-8, which cannot carry a lone surrogate that a Windows name may hold.
QString suffixFor(const QString& original) {
    QByteArray units;
    units.reserve(original.size() * 2);
    for (QChar c : original) {
        units += char(c.unicode() & 0xFF);
        units += char(c.unicode() >> 8);
    }
    return u'~' + QString::fromLatin1(
                      QCryptographicHash::hash(units, QCryptographicHash::Sha256).toHex().left(8));
}

std::function<void(qint64)>& blockObserver() {
    static std::function<void(qint64)> observer;
    return observer;
}

} // namespace

bool isBareName(const QString& name) {
    const QString n = TextField::trimBlanks(name);
    return !n.isEmpty() && n != QLatin1String(".") && n != QLatin1String("..") &&
           !n.contains(u'/') && !n.contains(u'\\') && !n.contains(u':');
}

bool isPortableName(const QString& name) {
    if (!isBareName(name) || isDeviceName(name))
        return false;
    const QList<uint> points = name.toUcs4();
    return std::none_of(points.begin(), points.end(),
                        [](uint c) { return forbidden(char32_t(c)); });
}

QString path(const QString& programFolder) {
    return programFolder + Name;
}

QString fileFor(const QString& programFolder, const QString& name) {
    if (!isBareName(name))
        return {};
    return path(programFolder) + QDir::separator() + TextField::trimBlanks(name);
}

QString storedName(const QString& original) {
    if (original.isEmpty())
        return {};
    bool changed = false;
    QString name;
    name.reserve(original.size());
    bool replacing = false;
    for (qsizetype i = 0; i < original.size(); ++i) {
        char32_t c = original[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < original.size() &&
            original[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(original[i], original[i + 1]);
            units = 2;
        }
        const std::optional<QChar> kept =
            forbidden(c) ? std::nullopt : inPage(c, QStringView(original).sliced(i, units));
        i += units - 1;
        if (!kept) {
            changed = true;
            if (!replacing)
                name += u'_';
            replacing = true;
            continue;
        }
        changed = changed || kept->unicode() != c;
        name += *kept;
        replacing = false;
    }
    // The store rule drops blanks at the start; Windows drops dots and spaces at the end.
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name[begin] == u' ')
        ++begin;
    while (end > begin && (name[end - 1] == u' ' || name[end - 1] == u'.'))
        --end;
    if (begin > 0 || end < name.size()) {
        changed = true;
        name = name.sliced(begin, end - begin);
    }
    changed = changed || isDeviceName(name);
    if (!changed && withinLimits(name))
        return name;

    QString extension;
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot > 0 && name.size() - dot - 1 <= kMaxExtension && !name.sliced(dot).contains(u' ')) {
        extension = name.sliced(dot);
        name.truncate(dot);
    }
    // The suffix ends the first word unless an earlier dot does ("CON.tar.gz").
    if (name.contains(u'.') && isDeviceName(name))
        name.insert(name.indexOf(u'.'), u'_');
    const QString suffix = suffixFor(original);
    const qsizetype room = NameCapacity - suffix.size() - extension.size();
    const qsizetype roomUtf8 = NameUtf8Limit - suffix.size() - utf8Size(extension);
    qsizetype keep = 0;
    qsizetype bytes = 0;
    while (keep < name.size() && keep < room && bytes + utf8Size(name[keep]) <= roomUtf8)
        bytes += utf8Size(name[keep++]);
    name.truncate(keep);
    return name + suffix + extension;
}

CopyResult copyIn(const QString& programFolder, const QString& source, const QString& name,
                  const Vet& vet, QByteArray* sha256) {
    const QString folder = path(programFolder);
    const QString target = fileFor(programFolder, name);
    // Only a regular file has a size to check the copy against: opening a pipe waits for a
    // writer, and a device has no end. Checked before the source is opened.
    const QFileInfo from(source);
    if (target.isEmpty() || !from.isFile() || !QDir().mkpath(folder))
        return CopyResult::Failed;
    const QFileInfo existing(target);
    // Copying a file onto itself would empty it.
    if (existing.exists() && existing.canonicalFilePath() == from.canonicalFilePath()) {
        const auto sum = Fingerprints::ofFile(target);
        if (!sum)
            return CopyResult::Failed;
        if (sha256)
            *sha256 = *sum;
        return !vet || vet(*sum) ? CopyResult::SameFile : CopyResult::Declined;
    }

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly) || in.isSequential())
        return CopyResult::Failed;
    const qint64 sizeAtStart = in.size();

    // A copy beside the target under a short name of its own (the target's name may already
    // be as long as the folder takes), put in its place in one step.
    QFile out;
    do {
        out.setFileName(folder + QStringLiteral("/.allegato-") +
                        QString::number(QRandomGenerator::global()->generate64(), 36));
    } while (out.exists());
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return CopyResult::Failed;
    struct Discard {
        QFile& file;
        bool keep = false;
        ~Discard() {
            if (!keep)
                file.remove();
        }
    } discard{out};

    QByteArray block(CopyBlock, Qt::Uninitialized);
    qint64 copied = 0;
    // A source that grew past its first size has already failed: no need to read it all.
    while (copied <= sizeAtStart) {
        const qint64 n = in.read(block.data(), block.size());
        if (n < 0)
            return CopyResult::Failed;
        if (n == 0)
            break;
        if (out.write(block.constData(), n) != n)
            return CopyResult::Failed;
        copied += n;
        if (blockObserver())
            blockObserver()(copied);
    }
    // Another program may have cut or extended the source meanwhile.
    if (copied != sizeAtStart || in.size() != sizeAtStart || !FileLock::sync(out))
        return CopyResult::Failed;
    out.close();
    if (out.error() != QFileDevice::NoError)
        return CopyResult::Failed;
    const auto sum = Fingerprints::ofFile(out.fileName());
    if (!sum)
        return CopyResult::Failed;
    if (sha256)
        *sha256 = *sum;
    if (vet && !vet(*sum))
        return CopyResult::Declined;
    if (!FileLock::rename(out.fileName(), target))
        return CopyResult::Failed;
    discard.keep = true;
    FileLock::syncFolderOf(target);
    return CopyResult::Copied;
}

void setBlockObserver(std::function<void(qint64 copied)> observer) {
    blockObserver() = std::move(observer);
}

} // namespace AttachmentFolder
