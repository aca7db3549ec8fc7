#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

class QSaveFile;

// Files the program writes whole (settings, credential, spreadsheet export): the new
// bytes go to a temporary file beside the target, every write and the flush to the disk
// are checked, and only then does the new file take the old one's place in one rename.
// On any failure the previous file stays byte for byte and the temporary one is removed.
namespace WholeFile {

bool replace(const QString& path, QByteArrayView bytes);

// The same, for a file written piece by piece (an export of a million rows): nothing of it
// is in place until commit() returns true; a stream dropped before that leaves the previous
// file as it was.
class Stream {
public:
    explicit Stream(const QString& path);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // False from the first piece the disk refused on; the later pieces are not written.
    bool write(QByteArrayView bytes);
    bool commit();

private:
    std::unique_ptr<QSaveFile> m_file;
    bool m_ok;
};

// The file's bytes, at most `maxBytes` of them (a damaged or foreign file can be huge);
// empty when missing or unreadable.
QByteArray read(const QString& path, qint64 maxBytes);

// The last step of replace(), which puts the new file in place: QSaveFile::commit. A test
// puts a step of its own instead, to make just that one fail as a target kept open by
// another program makes it fail on Windows; nullptr puts the real one back.
using Commit = bool (*)(QSaveFile& file);
void setCommitForTests(Commit commit);

} // namespace WholeFile
