#include "RecordGrid.h"

#include "Widgets.h"

#include <QHeaderView>
#include <QTableView>

RecordGridModel::RecordGridModel(QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)) {
    for (int i = 0; i < kInitialRows; ++i)
        m_rows.append(QStringList());
}

void RecordGridModel::setRows(QList<QStringList> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void RecordGridModel::appendRow(QStringList cells) {
    const int at = int(m_rows.size());
    beginInsertRows(QModelIndex(), at, at);
    m_rows.append(std::move(cells));
    endInsertRows();
}

void RecordGridModel::clear() {
    setRows({});
}

QString RecordGridModel::cell(int row, int column) const {
    return row >= 0 && row < m_rows.size() ? m_rows[row].value(column) : QString();
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
    QStringList& cells = m_rows[index.row()];
    while (cells.size() <= index.column())
        cells.append(QString());
    cells[index.column()] = value.toString();
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
