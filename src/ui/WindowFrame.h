#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <QWidget>
#include <optional>
#include <utility>

// The frame every window shares: a vertical gradient behind a panel `panContainer` of
// fixed design size that stays in the middle of the window, however large it is.
class Backdrop : public QWidget {
    Q_OBJECT
public:
    // Fills `window`. `panelColor` invalid leaves the panel transparent.
    Backdrop(QWidget* window, const QColor& top, const QColor& bottom, QSize panelSize,
             const QColor& panelColor = QColor());

    QWidget* panel() const { return m_panel; }
    // Keeps the panel at a fixed place instead of the middle.
    void setPanelOrigin(const QPoint& origin);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QColor m_top;
    QColor m_bottom;
    QWidget* m_panel;
    std::optional<QPoint> m_origin;
};

namespace WindowFrame {

// A dialog of fixed client size that cannot be resized and has no title-bar buttons; only
// its own buttons close it (not Escape, not the desktop's close request).
void setupFixedDialog(QWidget* window, const QString& caption, QSize clientSize);
// A sizeable window of the given design size that opens maximized.
void setupSizeableWindow(QWidget* window, const QString& caption, QSize designSize);
// Shows a sizeable window maximized; sizes it to the screen itself, for desktops
// without a window manager that would do it.
void showMaximized(QWidget* window);
// Centres `window` on the screen, or on `over` when given.
void centre(QWidget* window, QWidget* over = nullptr);

} // namespace WindowFrame

// A modal per-use window: made for the occasion with `args` (its opener first), shown until
// it closes, then destroyed.
template <typename Window, typename... Args> void showModal(Args&&... args) {
    Window window(std::forward<Args>(args)...);
    window.exec();
}
