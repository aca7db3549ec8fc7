#include "RecordGrid.h"

#include "Widgets.h"
#include "core/Cp1252.h"
#include "core/RecordLayout.h"
#include "core/Spreadsheet.h"
#include "core/TextField.h"

#include <QHeaderView>
#include <QTableView>
#include <algorithm>
#include <cstring>

namespace {

quint64 key(int row, int column) {
    return (quint64(quint32(row)) << 32) | quint32(column);
}

// A letter typed in a read-only cell goes nowhere. The view's own keyboard search would move
// the current cell to the row whose text starts with it, and the next value typed would land
// in another card's row of the export.
class RecordGridView final : public QTableView {
public:
    using QTableView::QTableView;
    void keyboardSearch(const QString&) override {}
};

} // namespace

RecordGridModel::Rows::Rows(const QList<Column>& columns, const RecordLayout& layout) {
    for (const Column& column : columns) {
        if (column.field < 0)
            continue;
        const FieldSpec& f = layout.field(column.field);
        m_fields.push_back({f.offset, f.capacity});
        m_rowRoom += 1 + std::min(f.capacity, 255);
    }
}

void RecordGridModel::Rows::reserve(qsizetype cards) {
    m_rows.reserve(m_rows.size() + cards);
}

void RecordGridModel::Rows::add(QByteArrayView record) {
    constexpr qsizetype kBlock = qsizetype(1) << kBlockShift;
    if (m_blocks.empty() || kBlock - m_blocks.back().size() < m_rowRoom) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(kBlock);
    }
    LargeArray<char>& block = m_blocks.back();
    const qsizetype begin = block.size();
    char* const start = block.extend(m_rowRoom);
    char* at = start;
    for (const Field& f : m_fields) {
        const QByteArrayView text = TextField::loadBytes(record, f.offset, f.capacity);
        *at++ = static_cast<char>(text.size());
        std::memcpy(at, text.data(), size_t(text.size()));
        at += text.size();
    }
    block.truncate(begin + (at - start));
    m_bytes += at - start;
    m_rows.append(qsizetype(m_blocks.size() - 1) << kBlockShift | begin);
}

RecordGridModel::RecordGridModel(QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {
    for (int i = 0; i < kInitialRows; ++i)
        m_rows.m_rows.append(-1);
}

void RecordGridModel::setRows(Rows rows) {
    beginResetModel();
    m_rows = std::move(rows);
    m_typed.clear();
    m_marks.clear();
    endResetModel();
}

void RecordGridModel::setRowMarks(int column, QHash<int, QString> marks) {
    m_markColumn = column;
    m_marks = std::move(marks);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

const QString* RecordGridModel::mark(int row, int column) const {
    if (column != m_markColumn || m_marks.isEmpty())
        return nullptr;
    const auto found = m_marks.constFind(row);
    return found == m_marks.constEnd() ? nullptr : &*found;
}

QByteArrayView RecordGridModel::stored(int row, int column, QByteArray& scratch) const {
    const char* fields = m_rows.row(row);
    if (!fields)
        return {};
    if (m_columns[column].field < 0) {
        scratch = QByteArray::number(row + 1);
        return scratch;
    }
    // The fields lie in column order; skip those before this one.
    const char* at = fields;
    for (int c = 0; c < column; ++c) {
        if (m_columns[c].field >= 0)
            at += 1 + static_cast<unsigned char>(*at);
    }
    return QByteArrayView(at + 1, static_cast<unsigned char>(*at));
}

const QString* RecordGridModel::typed(int row, int column) const {
    if (m_typed.isEmpty())
        return nullptr;
    const auto found = m_typed.constFind(key(row, column));
    return found == m_typed.constEnd() ? nullptr : &*found;
}

QString RecordGridModel::cell(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns.size())
        return {};
    if (const QString* text = typed(row, column))
        return *text;
    QByteArray scratch;
    const QString text = Cp1252::decode(stored(row, column, scratch));
    const QString* marked = mark(row, column);
    return marked ? text + *marked : text;
}

QByteArrayView RecordGridModel::cellBytes(int row, int column, QByteArray& scratch) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= m_columns.size())
        return {};
    if (const QString* text = typed(row, column)) {
        scratch = Cp1252::encode(TextField::trimBlanks(*text));
        return scratch;
    }
    if (const QString* marked = mark(row, column)) {
        scratch = stored(row, column, scratch).toByteArray() + Cp1252::encode(*marked);
        return scratch;
    }
    return stored(row, column, scratch);
}

void RecordGridModel::writeRow(int row, int first, int count, Spreadsheet::Writer& out) const {
    out.beginRow();
    const char* at = m_rows.row(row);
    QByteArray scratch;
    const int end = std::min(first + count, int(m_columns.size()));
    for (int c = 0; c < end; ++c) {
        const bool isField = m_columns[c].field >= 0;
        const QByteArrayView field = at && isField
                                         ? QByteArrayView(at + 1, static_cast<unsigned char>(*at))
                                         : QByteArrayView();
        if (at && isField)
            at += 1 + field.size();
        if (c < first)
            continue;
        if (const QString* text = typed(row, c))
            out.cell(Cp1252::encode(TextField::trimBlanks(*text)));
        else if (mark(row, c))
            out.cell(cellBytes(row, c, scratch));
        else if (isField || !at)
            out.cell(field);
        else
            out.cell(stored(row, c, scratch));
    }
    for (int c = end; c < first + count; ++c)
        out.cell({});
    out.endRow();
}

int RecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.size();
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.row(), index.column());
    if (role == Qt::ForegroundRole && !m_marks.isEmpty() && m_marks.contains(index.row()))
        return QColor(0xC0, 0x00, 0x00);
    return {};
}

bool RecordGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_typed.insert(key(index.row(), index.column()), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_columns.size())
        return m_columns[section].header;
    return {};
}

Qt::ItemFlags RecordGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.isValid() && !m_columns[index.column()].readOnly)
        f |= Qt::ItemIsEditable;
    return f;
}

QTableView* createRecordGrid(QWidget* parent, RecordGridModel* model, const QRect& geometry) {
    auto* view = named(new RecordGridView(parent), "grdRecords");
    view->setModel(model);
    view->setGeometry(geometry);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(21);
    view->horizontalHeader()->setHighlightSections(false);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->setFont(uiFont(QStringLiteral("Verdana"), 11));
    for (int c = 0; c < model->columns().size(); ++c)
        view->setColumnWidth(c, model->columns()[c].width);
    return view;
}
