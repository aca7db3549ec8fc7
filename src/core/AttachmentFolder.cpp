#include "AttachmentFolder.h"

#include "Cp1252.h"
#include "TextField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>

namespace AttachmentFolder {

bool isBareName(const QString& name) {
    const QString n = TextField::trimBlanks(name);
    return !n.isEmpty() && n != QLatin1String(".") && n != QLatin1String("..") &&
           !n.contains(u'/') && !n.contains(u'\\') && !n.contains(u':');
}

QString path(const QString& programFolder) {
    return programFolder + Name;
}

QString fileFor(const QString& programFolder, const QString& name) {
    if (!isBareName(name))
        return {};
    return path(programFolder) + QDir::separator() + TextField::trimBlanks(name);
}

QString storedName(const QString& chosenPath) {
    constexpr int kNameCapacity = 250;
    return Cp1252::decode(TextField::storedBytes(QFileInfo(chosenPath).fileName(), kNameCapacity));
}

CopyResult copyIn(const QString& programFolder, const QString& source, const QString& name) {
    const QString folder = path(programFolder);
    const QString target = fileFor(programFolder, name);
    if (target.isEmpty() || !QDir().mkpath(folder))
        return CopyResult::Failed;
    const QFileInfo existing(target);
    // Copying a file onto itself would empty it.
    if (existing.exists() && existing.canonicalFilePath() == QFileInfo(source).canonicalFilePath())
        return CopyResult::SameFile;

    // A copy beside the target, then put in its place in one step.
    QString temporary;
    {
        QTemporaryFile reserve(folder + QStringLiteral("/.allegato-XXXXXX"));
        if (!reserve.open())
            return CopyResult::Failed;
        temporary = reserve.fileName();
    }
    QFile::remove(temporary);
    if (!QFile::copy(source, temporary))
        return CopyResult::Failed;
    std::error_code error;
    std::filesystem::rename(QFileInfo(temporary).filesystemAbsoluteFilePath(),
                            QFileInfo(target).filesystemAbsoluteFilePath(), error);
    if (error) {
        QFile::remove(temporary);
        return CopyResult::Failed;
    }
    return CopyResult::Copied;
}

} // namespace AttachmentFolder
