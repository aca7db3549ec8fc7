#pragma once

#include "HelpTopics.h"
#include "RecordGrid.h"
#include "core/Spreadsheet.h"

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <memory>

class FormatButton;
class ImageButton;
class QProgressBar;
class Record;
class RecordLayout;
class WindowPanel;

// A window that shows an archive's cards in a grid and exports it: a light grey dialog,
// a white top bar with a picture, the pointing hand with the export's format under it and
// the export, help and exit tools,
// the grid grdRecords, and the hint bar. The summary and export windows of both archives
// are configurations of it; a window with more (the summary's dates) adds its controls
// to content().
class GridWindow : public QDialog {
    Q_OBJECT
public:
    struct Decoration {
        const char* name;
        QString resource;
        QRect rect;
    };
    struct Setup {
        QString caption;
        QSize clientSize;
        QSize panelSize;
        QRect topBar;      // shpSfondo
        Decoration banner; // the top bar's picture
        QRect hand;        // icoHand
        // Top left corners of cmdEsporta, cmdGuida and cmdEsci.
        QPoint esporta, guida, esci;
        QRect grid;
        QList<RecordGridModel::Column> columns;
        QRect hintBar;     // shpInfo
        QPoint hintOffset; // of panInfo inside the hint bar
        QString initialHint;
        const RecordLayout* layout;
        Spreadsheet::Target target;
        HelpTopic help;
        bool loadsOnOpen = false; // every card of the archive, when the window is made
        // Marks after the text of column `markColumn` of some cards (an annulled card's),
        // by 1-based position, read once each time the grid is filled; none: no marks.
        int markColumn = -1;
        std::function<QHash<int, QString>(const QString& archivePath)> marks = {};
    };

    // The export window of either archive: its frame, banner place, hint and every card
    // loaded on opening; the caller adds caption, banner picture, columns, layout, target
    // and help.
    static Setup exportWindow();

    GridWindow(QWidget* opener, const QString& archivePath, Setup setup);
    ~GridWindow() override;

    // What the grid holds, typed cells included.
    RecordGridModel* grid() const { return m_grid; }

protected:
    // The panel's builder, for the controls a window adds of its own.
    WindowPanel& content() const { return *m_content; }
    // Fills the grid with the archive's cards that `listed` accepts (all when empty), in
    // file order, numbered from 1. An archive without cards leaves the grid as it was; a
    // failed read keeps the rows read before it.
    void fillGrid(const std::function<bool(const Record&)>& listed = {});
    // A picture button of `size` at the right end of the hint bar, the place the hints leave
    // free; the export's progress bar, when it shows, stands over it.
    ImageButton* addHintBarTool(const char* name, const QString& resource, const QSize& size,
                                const QString& hint);
    const QString& archivePath() const { return m_archivePath; }

private:
    void exportGrid();

    QString m_archivePath;
    Setup m_setup;
    RecordGridModel* m_grid;
    std::unique_ptr<WindowPanel> m_content;
    FormatButton* cmdFormato; // under the pointing hand
    QProgressBar* prbEsporta; // in the hint bar, while a long export runs
};
