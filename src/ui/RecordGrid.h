#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QHash>
#include <QList>

class QTableView;
class QWidget;
class Record;

// The grid of the summary and export windows: a numbered row per card, columns the user
// may type into (changing only the grid and the export, never the archive) and read-only
// ones. A row keeps its fields as the archive's own bytes and turns them into text only
// when shown, so a grid of 100,000 cards loads and exports quickly and stays light.
class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        const char* name; // colNumero, ...
        QString header;
        int width;
        bool readOnly;
        int field; // in the record's layout; -1 for the row number
    };

    // One row: its number (0 for an empty row) and its fields, each a length byte and
    // the field's trimmed Windows-1252 bytes, in column order.
    struct Row {
        int number = 0;
        QByteArray fields;
    };

    explicit RecordGridModel(QList<Column> columns, QObject* parent = nullptr);

    const QList<Column>& columns() const { return m_columns; }

    // A fresh grid shows ten empty rows.
    static constexpr int kInitialRows = 10;

    // The row that shows `record` as number `number`.
    Row rowFor(const Record& record, int number) const;
    void setRows(QList<Row> rows);

    QString cell(int row, int column) const;
    // The cell as Windows-1252 bytes, trimmed: a view of the row, or of `scratch` for a
    // typed or computed cell.
    QByteArrayView cellBytes(int row, int column, QByteArray& scratch) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QByteArrayView storedBytes(int row, int column, QByteArray& scratch) const;

    QList<Column> m_columns;
    QList<Row> m_rows;
    QHash<quint64, QString> m_typed; // what the user typed, by (row, column)
    // Where the last field read starts, so that reading a row's cells in order (as the
    // export does) does not walk the row from its start for every cell.
    mutable int m_lastRow = -1;
    mutable int m_lastColumn = 0;
    mutable qsizetype m_lastAt = 0;
};

// The view over a grid model, named grdRecords, with alternating row colours and rows 21
// high, at `geometry` in `parent`.
QTableView* createRecordGrid(QWidget* parent, RecordGridModel* model, const QRect& geometry);
