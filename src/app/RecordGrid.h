#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

class QTableView;
class QWidget;

// The grid of the summary and export windows: a numbered row per card, columns that the
// user may type into (changing only the grid and the export, never the archive) and
// read-only ones. Rows are plain texts, so a grid of 100,000 cards stays light.
class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        const char* name; // colNumero, ...
        QString header;
        int width;
        bool readOnly;
    };

    explicit RecordGridModel(QList<Column> columns, QObject* parent = nullptr);

    const QList<Column>& columns() const { return m_columns; }

    // A fresh grid shows ten empty rows.
    static constexpr int kInitialRows = 10;

    // Replaces the rows; a row's first cell is its number.
    void setRows(QList<QStringList> rows);
    void appendRow(QStringList cells);
    void clear();
    QString cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<Column> m_columns;
    QList<QStringList> m_rows;
};

// The view over a grid model, named grdRecords, with alternating row colours and rows 21
// high, at `geometry` in `parent`.
QTableView* createRecordGrid(QWidget* parent, RecordGridModel* model, const QRect& geometry);
