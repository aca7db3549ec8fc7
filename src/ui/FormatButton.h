#pragma once

#include "core/Spreadsheet.h"

#include <QAbstractButton>

class HintLine;
class QMenu;

// The export's format, chosen next to the export command: a small caption in the style of
// the help and exit captions ("XLSX ▾") that opens the choice of formats. The choice is
// kept in the settings, so every export window starts with the last one used.
class FormatButton final : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FormatButton)
public:
    // Named cmdFormato; its hint, naming the format, goes to `hints`.
    FormatButton(QWidget* parent, HintLine* hints, const QRect& rect);

    Spreadsheet::Format format() const { return m_format; }
    // Also remembered in the settings for the next window.
    void choose(Spreadsheet::Format format);
    QMenu* menu() const { return m_menu; }
    QSize sizeHint() const override { return size(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void show(Spreadsheet::Format format);

    HintLine* m_hints;
    QMenu* m_menu;
    Spreadsheet::Format m_format = Spreadsheet::Format::Xls;
};
