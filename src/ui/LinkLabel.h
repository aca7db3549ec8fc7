#pragma once

#include <QLabel>

// A clickable text: Tahoma 14, underlined, dark blue, hand pointer. It turns orange while
// the mouse button is held on it or on its picture, and runs its action on a click.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(QWidget* parent, const QString& text);
    // A picture beside the link that shares its pressing, releasing and clicking.
    void addBuddy(QWidget* picture);

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setColour(const QColor& colour);
    void pressed();
    void released(bool inside);
};
