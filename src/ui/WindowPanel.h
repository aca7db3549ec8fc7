#pragma once

#include <QColor>
#include <QRect>
#include <QString>

class HintLine;
class ImageButton;
class QLabel;
class QWidget;
class Shape;

// Builds the content of a window's panel the way every window does it: flat areas that
// empty the hint line, picture buttons with their hints, and the hint bar with panInfo.
class WindowPanel {
public:
    // `background` (the window's own backdrop) empties the hint line too.
    WindowPanel(QWidget* panel, QWidget* background, const QString& initialHint);

    QWidget* panel() const { return m_panel; }
    HintLine* hints() const { return m_hints; }
    QLabel* panInfo() const { return m_panInfo; }

    // A rectangle, a toolbar group or a bar; drawn under the controls made after it.
    Shape* addArea(const char* name, const QRect& rect, const QColor& fill,
                   const QColor& gradientBottom = QColor());
    ImageButton* addTool(const char* name, const QString& resource, const QRect& rect,
                         const QString& hint);
    // The hint bar; panInfo stands in it, `textOffset` from its top left corner. The pointer
    // over the bar, its text included, empties the hint line unless the bar `KeepsHint`.
    enum class HintBar { EmptiesHint, KeepsHint };
    void addHintBar(const char* name, const QRect& rect, const QColor& colour,
                    const QPoint& textOffset, HintBar kind = HintBar::EmptiesHint);

    // The three picture buttons of the grid windows: export, help and exit, at their x,y
    // (sizes 49 x 50, 50 x 55 and 40 x 50).
    struct GridTools {
        ImageButton* cmdEsporta;
        ImageButton* cmdGuida;
        ImageButton* cmdEsci;
    };
    GridTools addGridTools(const QPoint& esporta, const QPoint& guida, const QPoint& esci);
    // The help and exit tools alone, as the grid windows have them.
    struct HelpAndExit {
        ImageButton* cmdGuida;
        ImageButton* cmdEsci;
    };
    HelpAndExit addHelpAndExitTools(const QPoint& guida, const QPoint& esci);

private:
    QWidget* m_panel;
    QLabel* m_panInfo;
    HintLine* m_hints;
};
