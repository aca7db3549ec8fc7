#include "FormatButton.h"

#include "HintLine.h"
#include "ProgramFolder.h"
#include "Widgets.h"

#include <QActionGroup>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor kBorder(0x42, 0x7A, 0xA8);
const QColor kText(0x2F, 0x5F, 0x8A);
} // namespace

FormatButton::FormatButton(QWidget* parent, HintLine* hints, const QRect& rect)
    : QAbstractButton(parent), m_hints(hints), m_menu(new QMenu(this)) {
    setObjectName(QStringLiteral("cmdFormato"));
    setGeometry(rect);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setFont(uiFont(QStringLiteral("Verdana"), 8, true));
    m_menu->setObjectName(QStringLiteral("mnuFormato"));
    m_menu->setFont(uiFont(QStringLiteral("Verdana"), 12));
    auto* group = new QActionGroup(m_menu);
    for (const Spreadsheet::FormatChoice& c : Spreadsheet::formats()) {
        QAction* action = m_menu->addAction(c.name);
        action->setObjectName(QStringLiteral("actFormato") + c.key);
        action->setCheckable(true);
        action->setData(int(c.format));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, format = c.format] { choose(format); });
    }
    connect(this, &QAbstractButton::clicked, this,
            [this] { m_menu->popup(mapToGlobal(QPoint(0, height()))); });
    // A settings file edited by hand to another word keeps the .xls.
    show(Spreadsheet::formatOfKey(ProgramFolder::settings().exportFormat())
             .value_or(Spreadsheet::Format::Xls));
}

void FormatButton::choose(Spreadsheet::Format format) {
    show(format);
    // Not kept (a folder that refuses writes): only the next window starts from the .xls
    // again; the export itself says whether the folder takes the file.
    ProgramFolder::settings().setExportFormat(Spreadsheet::choice(format).key, nullptr);
}

void FormatButton::show(Spreadsheet::Format format) {
    m_format = format;
    for (QAction* action : m_menu->actions())
        action->setChecked(action->data().toInt() == int(format));
    m_hints->setHint(this, QStringLiteral("Formato del file esportato: %1. Fare clic per "
                                          "sceglierne un altro.")
                               .arg(Spreadsheet::choice(format).name));
    update();
}

void FormatButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF pill = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(pill.topLeft(), pill.bottomLeft());
    fill.setColorAt(0, Qt::white);
    fill.setColorAt(1, QColor(0xD6, 0xE3, 0xF1));
    QPainterPath path;
    path.addRoundedRect(pill, pill.height() / 2, pill.height() / 2);
    p.fillPath(path, fill);
    p.setPen(QPen(kBorder, 1));
    p.drawPath(path);
    p.setPen(kText);
    p.setFont(font());
    const QPoint pressed = isDown() ? QPoint(1, 1) : QPoint();
    p.drawText(rect().translated(pressed), Qt::AlignCenter,
               Spreadsheet::choice(m_format).tag + QStringLiteral(" \u25BE"));
    if (underMouse() && !isDown())
        p.fillPath(path, QColor(255, 255, 255, 50));
}
