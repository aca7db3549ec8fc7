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
    // The hint bar; panInfo stands in it, `textOffset` from its top left corner.
    void addHintBar(const char* name, const QRect& rect, const QColor& colour,
                    const QPoint& textOffset);

private:
    QWidget* m_panel;
    QLabel* m_panInfo;
    HintLine* m_hints;
};
