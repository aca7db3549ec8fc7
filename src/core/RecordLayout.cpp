#include "RecordLayout.h"

#include "TextField.h"

RecordLayout::RecordLayout(std::initializer_list<FieldSpec> fields) : m_fields(fields) {
    for (const FieldSpec& f : m_fields) {
        Q_ASSERT_X(f.offset == m_size, "RecordLayout", "fields must lie back to back");
        m_size = f.offset + f.capacity + 1;
    }
}

int RecordLayout::indexOf(const QString& name) const {
    for (int i = 0; i < fieldCount(); ++i) {
        if (name == QLatin1String(m_fields[static_cast<std::size_t>(i)].name))
            return i;
    }
    return -1;
}

QStringList RecordLayout::overlongFields(QByteArrayView record) const {
    QStringList names;
    for (const FieldSpec& f : m_fields) {
        if (f.offset < record.size() && static_cast<unsigned char>(record[f.offset]) > f.capacity)
            names << QString::fromLatin1(f.name);
    }
    return names;
}

Record::Record(const RecordLayout& layout) : m_layout(&layout), m_bytes(layout.size(), '\0') {}

Record::Record(const RecordLayout& layout, QByteArray bytes)
    : m_layout(&layout), m_bytes(std::move(bytes)) {
    m_bytes.resize(layout.size(), '\0');
}

QString Record::text(int index) const {
    const FieldSpec& f = m_layout->field(index);
    return TextField::load(QByteArrayView(m_bytes).sliced(f.offset, f.capacity + 1), f.capacity);
}

void Record::setText(int index, const QString& text) {
    const FieldSpec& f = m_layout->field(index);
    TextField::store(m_bytes.data() + f.offset, f.capacity, text);
}
