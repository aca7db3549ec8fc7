#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <vector>

#include "core/LargeArray.h"

class QTableView;
class QWidget;
class RecordLayout;

namespace Spreadsheet {
class Writer;
}

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

    // Rows made from cards' bytes before they are shown, numbered from 1 in the order
    // added. Each row keeps its fields' trimmed Windows-1252 bytes, each after a length
    // byte, in column order, packed into large blocks: no allocation per row or cell.
    class Rows {
    public:
        Rows(const QList<Column>& columns, const RecordLayout& layout);
        // Room for `cards` rows, asked for once.
        void reserve(qsizetype cards);
        void add(QByteArrayView record);
        int size() const { return int(m_rows.size()); }
        // The bytes the rows hold.
        qsizetype bytes() const { return m_bytes; }

    private:
        friend class RecordGridModel;
        Rows() = default;
        const char* row(int index) const {
            const qsizetype at = m_rows[index];
            return at < 0 ? nullptr
                          : m_blocks[std::size_t(at >> kBlockShift)].data() +
                                (at & ((qsizetype(1) << kBlockShift) - 1));
        }
        struct Field {
            int offset;
            int capacity;
        };
        // Blocks of a fixed size, a new one when a row may not fit in the last: rows never
        // move, so a grid of a million full cards grows without copying what it holds and
        // takes no more memory than its rows fill.
        static constexpr int kBlockShift = 25;
        std::vector<Field> m_fields; // of the field columns, in column order
        qsizetype m_rowRoom = 0;     // the most bytes a row can take
        std::vector<LargeArray<char>> m_blocks;
        qsizetype m_bytes = 0;
        // Where each row starts, block << kBlockShift | place in it; -1 for an empty row.
        LargeArray<qsizetype> m_rows;
    };

    explicit RecordGridModel(QList<Column> columns, QObject* parent = nullptr);

    const QList<Column>& columns() const { return m_columns; }

    // A fresh grid shows ten empty rows.
    static constexpr int kInitialRows = 10;

    // Rows to fill from the cards of an archive of `layout`, then to show with setRows().
    Rows makeRows(const RecordLayout& layout) const { return Rows(m_columns, layout); }
    void setRows(Rows rows);

    // Marks put after the stored text of `column` in some rows (by 0-based row; an annulled
    // card's, say): shown in dark red and exported with the cell. Rows set afresh drop them.
    void setRowMarks(int column, QHash<int, QString> marks);

    QString cell(int row, int column) const;
    // The cell as Windows-1252 bytes, trimmed: a view of the row, or of `scratch` for a
    // typed or computed cell.
    QByteArrayView cellBytes(int row, int column, QByteArray& scratch) const;
    // About how many bytes the cells hold, for reserving an export at once.
    qsizetype storedBytes() const { return m_rows.bytes(); }
    // Writes the cells of `row` from column `first` on, `count` of them, typed ones
    // included, as one row of the export file.
    void writeRow(int row, int first, int count, Spreadsheet::Writer& out) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QByteArrayView stored(int row, int column, QByteArray& scratch) const;
    const QString* typed(int row, int column) const;

    // The mark of the cell, if it has one.
    const QString* mark(int row, int column) const;

    QList<Column> m_columns;
    Rows m_rows;
    int m_markColumn = -1;
    QHash<int, QString> m_marks;
    QHash<quint64, QString> m_typed; // what the user typed, by (row, column)
};

// The view over a grid model, named grdRecords, with alternating row colours and rows 21
// high, at `geometry` in `parent`.
QTableView* createRecordGrid(QWidget* parent, RecordGridModel* model, const QRect& geometry);
