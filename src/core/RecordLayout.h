#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <vector>

// One field of a fixed-size record: its name, the offset of its length byte and its
// capacity in bytes (the field takes capacity + 1 bytes).
struct FieldSpec {
    const char* name;
    int offset;
    int capacity;
};

// The table of a record's fields, declared once per archive. Fields lie back to back.
class RecordLayout {
public:
    RecordLayout(std::initializer_list<FieldSpec> fields);

    int size() const { return m_size; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    const FieldSpec& field(int index) const { return m_fields[static_cast<std::size_t>(index)]; }
    const std::vector<FieldSpec>& fields() const { return m_fields; }
    // -1 when there is no such field.
    int indexOf(const QString& name) const;
    // The names of the fields of `record` whose length byte says more than the field holds
    // (a damaged record: the program never writes one).
    QStringList overlongFields(QByteArrayView record) const;

private:
    std::vector<FieldSpec> m_fields;
    int m_size = 0;
};

// The bytes of one record and typed access to its text fields.
class Record {
public:
    explicit Record(const RecordLayout& layout);
    // `bytes` shorter than the record are padded with zeros, longer ones cut.
    Record(const RecordLayout& layout, QByteArray bytes);

    const RecordLayout& layout() const { return *m_layout; }
    const QByteArray& bytes() const { return m_bytes; }

    // The load rule applied to field `index`.
    QString text(int index) const;
    // The store rule applied to field `index`.
    void setText(int index, const QString& text);

private:
    const RecordLayout* m_layout;
    QByteArray m_bytes;
};
