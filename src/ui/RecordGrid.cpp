#include "RecordGrid.h"

#include "Widgets.h"
#include "core/Cp1252.h"
#include "core/RecordLayout.h"
#include "core/TextField.h"

#include <QHeaderView>
#include <QTableView>

namespace {

quint64 key(int row, int column) {
    return (quint64(quint32(row)) << 32) | quint32(column);
}

} // namespace

RecordGridModel::RecordGridModel(QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_rows(kInitialRows) {}

RecordGridModel::Row RecordGridModel::rowFor(const Record& record, int number) const {
    Row row;
    row.number = number;
    const QByteArray& bytes = record.bytes();
    for (const Column& column : m_columns) {
        if (column.field < 0)
            continue;
        const FieldSpec& f = record.layout().field(column.field);
        const int length = std::min<int>(static_cast<unsigned char>(bytes[f.offset]), f.capacity);
        const QByteArrayView text =
            TextField::trimBlanks(QByteArrayView(bytes).sliced(f.offset + 1, length));
        row.fields += char(text.size());
        row.fields += text;
    }
    return row;
}

void RecordGridModel::setRows(QList<Row> rows) {
    beginResetModel();
    m_lastRow = -1;
    m_rows = std::move(rows);
    m_typed.clear();
    endResetModel();
}

QByteArrayView RecordGridModel::storedBytes(int row, int column, QByteArray& scratch) const {
    const Row& r = m_rows[row];
    if (m_columns[column].field < 0) {
        scratch = r.number > 0 ? QByteArray::number(r.number) : QByteArray();
        return scratch;
    }
    // The fields lie in column order; skip those before this one.
    int c = 0;
    qsizetype at = 0;
    if (row == m_lastRow && column >= m_lastColumn) {
        c = m_lastColumn;
        at = m_lastAt;
    }
    for (; c < column && at < r.fields.size(); ++c) {
        if (m_columns[c].field >= 0)
            at += 1 + static_cast<unsigned char>(r.fields[at]);
    }
    m_lastRow = row;
    m_lastColumn = column;
    m_lastAt = at;
    if (at >= r.fields.size())
        return {};
    return QByteArrayView(r.fields).sliced(at + 1, static_cast<unsigned char>(r.fields[at]));
}

QString RecordGridModel::cell(int row, int column) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    const auto typed = m_typed.constFind(key(row, column));
    if (typed != m_typed.constEnd())
        return *typed;
    QByteArray scratch;
    return Cp1252::decode(storedBytes(row, column, scratch));
}

QByteArrayView RecordGridModel::cellBytes(int row, int column, QByteArray& scratch) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    if (!m_typed.isEmpty()) {
        const auto typed = m_typed.constFind(key(row, column));
        if (typed != m_typed.constEnd()) {
            scratch = Cp1252::encode(TextField::trimBlanks(*typed));
            return scratch;
        }
    }
    return storedBytes(row, column, scratch);
}

int RecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return cell(index.row(), index.column());
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
    auto* view = named(new QTableView(parent), "grdRecords");
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
