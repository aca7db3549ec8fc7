#pragma once

#include <QWidget>

// The yellow halo behind the field that has the keyboard focus: a rectangle 4 units larger
// than the field on every side, named after the field with "eff" in place of "txt".
class FocusHalo : public QWidget {
    Q_OBJECT
public:
    static FocusHalo* attach(QWidget* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit FocusHalo(QWidget* field);
    QWidget* m_field;
};
