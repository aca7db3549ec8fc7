#include "WindowPanel.h"

#include "HintLine.h"
#include "Widgets.h"

#include <QLabel>

WindowPanel::WindowPanel(QWidget* panel, QWidget* background, const QString& initialHint)
    : m_panel(panel), m_panInfo(named(new QLabel(initialHint, panel), "panInfo")) {
    m_panInfo->setFont(uiFont(QStringLiteral("Tahoma"), 12));
    QPalette pal = m_panInfo->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    m_panInfo->setPalette(pal);
    m_panInfo->hide();
    m_hints = new HintLine(m_panInfo);
    m_hints->clearsOn(background);
    m_hints->clearsOn(panel);
}

Shape* WindowPanel::addArea(const char* name, const QRect& rect, const QColor& fill,
                            const QColor& gradientBottom) {
    auto* area = new Shape(m_panel, name, fill, QColor(), gradientBottom);
    area->setGeometry(rect);
    m_hints->clearsOn(area);
    return area;
}

ImageButton* WindowPanel::addTool(const char* name, const QString& resource, const QRect& rect,
                                  const QString& hint) {
    auto* button = new ImageButton(m_panel, name, resource);
    button->setGeometry(rect);
    m_hints->setHint(button, hint);
    return button;
}

void WindowPanel::addHintBar(const char* name, const QRect& rect, const QColor& colour,
                             const QPoint& textOffset, HintBar kind) {
    auto* bar = new Shape(m_panel, name, colour);
    bar->setGeometry(rect);
    if (kind == HintBar::EmptiesHint)
        m_hints->clearsOn(bar);
    else
        m_hints->keepsOn(m_panInfo);
    m_panInfo->setGeometry(
        QRect(rect.topLeft() + textOffset,
              QSize(rect.width() - textOffset.x() - 4, rect.height() - textOffset.y())));
    m_panInfo->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_panInfo->show();
    m_panInfo->raise();
}

WindowPanel::GridTools WindowPanel::addGridTools(const QPoint& esporta, const QPoint& guida,
                                                 const QPoint& esci) {
    ImageButton* cmdEsporta =
        addTool("cmdEsporta", artwork("excel_grande"), {esporta, QSize(49, 50)},
                QStringLiteral("Esporta l'archivio in formato Microsoft Excel."));
    const HelpAndExit tools = addHelpAndExitTools(guida, esci);
    return {cmdEsporta, tools.cmdGuida, tools.cmdEsci};
}

WindowPanel::HelpAndExit WindowPanel::addHelpAndExitTools(const QPoint& guida, const QPoint& esci) {
    return {
        addTool("cmdGuida", artwork("guida_grande"), {guida, QSize(50, 55)},
                QStringLiteral("Visualizza la pagina della guida sensibile al contesto.")),
        addTool("cmdEsci", artwork("esci_grande"), {esci, QSize(40, 50)},
                QStringLiteral("Esci da questo ambiente di lavoro.")),
    };
}
