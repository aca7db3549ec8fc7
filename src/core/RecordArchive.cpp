#include "RecordArchive.h"

#include "LargeArray.h"

RecordArchive::RecordArchive(QString path, const RecordLayout& layout)
    : m_path(std::move(path)), m_layout(&layout) {}

std::optional<int> RecordArchive::count() const {
    RecordFile file(m_layout->size());
    if (!file.open(m_path, RecordFile::Access::Read))
        return std::nullopt;
    return file.count();
}

std::optional<Record> RecordArchive::read(int position) const {
    RecordFile file(m_layout->size());
    QByteArray bytes;
    if (position < 1 || !file.open(m_path, RecordFile::Access::Read) || !file.seek(position - 1) ||
        !file.read(bytes))
        return std::nullopt;
    return Record(*m_layout, std::move(bytes));
}

bool RecordArchive::settle(Journal::Writer& journal) const {
    if (!journal.settle())
        return false;
    const Follow& follow = m_journaling->follow;
    return !follow || journal.lastBlock().isEmpty() || follow(journal.lastBlock());
}

RecordArchive::Rewrite RecordArchive::write(RecordFile& file, int index, const Record& record,
                                            const std::optional<Record>& before) const {
    constexpr auto Failed = Rewrite::Failed;
    if (!m_journaling)
        return file.seek(index) && file.write(record.bytes()) ? Rewrite::Written : Failed;
    Journal::Writer journal(m_path, file);
    if (!settle(journal))
        return Failed;
    if (before && m_journaling->allow && !m_journaling->allow(index + 1))
        return Rewrite::Refused;
    const Journal::Kind kind = before ? Journal::Kind::Rewrite : m_journaling->kind;
    QList<Journal::Entry> entries = Journal::saveEntries(m_journaling->identity, m_journaling->at,
                                                         kind, index + 1, before, record);
    if (m_journaling->extra) {
        const Journal::Entry close = entries.takeLast();
        entries += m_journaling->extra(index + 1, record);
        entries.append(close);
    }
    if (!journal.append(entries))
        return Failed;
    if (!file.seek(index) || !file.write(record.bytes())) {
        // The record is as it was (RecordFile undoes a failed write): so must the journal
        // be. A cut that fails leaves a block the next writer cuts, as its record is not on
        // the disk.
        journal.undo();
        return Failed;
    }
    if (!m_journaling->follow || m_journaling->follow(entries))
        return Rewrite::Written;
    // The record goes back first: were that to fail, the block stays whole and the next
    // writer hands it to the follower again.
    const bool back =
        before ? file.seek(index) && file.write(before->bytes()) : file.truncate(index);
    if (back)
        journal.undo();
    return Failed;
}

bool RecordArchive::annotate(int position, QList<Journal::Entry> entries) const {
    if (!m_journaling)
        return false;
    RecordFile file(m_layout->size());
    if (position < 1 || !file.open(m_path, RecordFile::Access::Write))
        return false;
    Journal::Writer journal(m_path, file);
    QByteArray bytes;
    if (!settle(journal) || !file.seek(position - 1) || !file.read(bytes))
        return false;
    if (m_journaling->allow && !m_journaling->allow(position))
        return false;
    entries.append(Journal::closeEntry(m_journaling->identity, m_journaling->at, position,
                                       Record(*m_layout, std::move(bytes))));
    if (!journal.append(entries))
        return false;
    if (!m_journaling->follow || m_journaling->follow(entries))
        return true;
    journal.undo();
    return false;
}

std::optional<int> RecordArchive::append(const Record& record, const Settle& settle,
                                         Record* written) const {
    RecordFile file(m_layout->size());
    if (!file.open(m_path, RecordFile::Access::Write))
        return std::nullopt;
    const auto n = file.count();
    if (!n)
        return std::nullopt;
    Record settled = record;
    if (settle)
        settle(*n, settled);
    if (write(file, *n, settled, std::nullopt) != Rewrite::Written)
        return std::nullopt;
    if (written)
        *written = settled;
    return *n + 1;
}

bool RecordArchive::update(int position, const Record& record) const {
    return rewrite(position, record) == Rewrite::Written;
}

RecordArchive::Rewrite RecordArchive::rewrite(int position, const Record& record) const {
    RecordFile file(m_layout->size());
    QByteArray now;
    if (position < 1 || !file.open(m_path, RecordFile::Access::Write) || !file.seek(position - 1) ||
        !file.read(now))
        return Rewrite::Failed;
    return write(file, position - 1, record, Record(*m_layout, std::move(now)));
}

RecordArchive::Rewrite RecordArchive::update(int position, const Record& record,
                                             QByteArrayView loaded,
                                             std::optional<Record>& stored) const {
    stored.reset();
    RecordFile file(m_layout->size());
    QByteArray now;
    // Compared and written under one write lock: no other copy can come in between.
    if (position < 1 || !file.open(m_path, RecordFile::Access::Write) || !file.seek(position - 1) ||
        !file.read(now))
        return Rewrite::Failed;
    if (now != loaded) {
        stored = Record(*m_layout, std::move(now));
        return Rewrite::ChangedMeanwhile;
    }
    return write(file, position - 1, record, Record(*m_layout, std::move(now)));
}

bool RecordArchive::scan(const std::function<void(int, const Record&)>& visit) const {
    return scanBytes([&](int position, QByteArrayView record) {
        visit(position, Record(*m_layout, record.toByteArray()));
    });
}

bool RecordArchive::scanBytes(const std::function<void(int, QByteArrayView)>& visit,
                              const Progress& progress) const {
    RecordFile file(m_layout->size());
    if (!file.open(m_path, RecordFile::Access::Read))
        return false;
    const auto n = file.count();
    if (!n)
        return false;
    const int size = m_layout->size();
    // Blocks of two megabytes: the file is read at the speed of a sequential read, and
    // the one buffer, reused, keeps the memory low whatever the file's size.
    constexpr int kBlockBytes = 2 << 20;
    constexpr int kProgressStep = 4096;
    const int perBlock = std::max(1, kBlockBytes / size);
    LargeArray<char> block;
    block.reserve(qsizetype(perBlock) * size);
    int position = 0;
    int reported = 0;
    while (position < *n) {
        const int got = file.readBlock(std::min(perBlock, *n - position), block.data());
        if (got <= 0)
            return false;
        for (int i = 0; i < got; ++i)
            visit(++position, QByteArrayView(block.data() + qsizetype(i) * size, size));
        if (progress && (position - reported >= kProgressStep || position == *n)) {
            reported = position;
            progress(position, *n);
        }
    }
    return true;
}

std::optional<RecordArchive::Browsed> RecordArchive::browse(BrowseCommand command,
                                                            std::optional<int> current) const {
    RecordFile file(m_layout->size());
    if (!file.open(m_path, RecordFile::Access::Read))
        return std::nullopt;
    if (decidesWithoutCount(command, current))
        return Browsed{decideBrowse(command, current, 0), std::nullopt};
    const auto n = file.count();
    if (!n)
        return std::nullopt;
    Browsed result{decideBrowse(command, current, *n), std::nullopt};
    if (result.step.kind == BrowseStep::Load) {
        QByteArray bytes;
        if (!file.seek(result.step.position - 1) || !file.read(bytes))
            return std::nullopt;
        result.record = Record(*m_layout, std::move(bytes));
    }
    return result;
}
