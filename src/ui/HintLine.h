#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

class QLabel;
class QWidget;

// The hint line at the bottom of a window: moving the pointer over a control with a hint
// writes the hint into `panInfo`; moving it over the window's background, `panInfo` itself
// included, empties it; anything else (labels, pictures without a hint) leaves it as it is.
class HintLine : public QObject {
    Q_OBJECT
public:
    explicit HintLine(QLabel* panInfo);

    void setHint(QWidget* control, const QString& text);
    // The pointer over `background` itself (not over one of the controls on it) empties
    // the line.
    void clearsOn(QWidget* background);
    // The pointer over `area` leaves the line as it is (undoes clearsOn).
    void keepsOn(QWidget* area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_panInfo;
    QHash<QObject*, QString> m_hints;
    QSet<QObject*> m_backgrounds;
};
