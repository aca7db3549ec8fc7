#include "CardWindow.h"

#include "HintLine.h"
#include "Messages.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "WindowRegistry.h"
#include "core/TextField.h"

#include <QCloseEvent>

const QString CardWindow::kAccessError = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.");
const QString CardWindow::kEmptyArchive = QStringLiteral("L'archivio non contiene nessuna scheda.");

namespace {
const QSize kDesignSize(1016, 713);
const QSize kPanelSize(995, 692);
const QColor kPanelColour(0xC8, 0xD6, 0xE3);
} // namespace

CardWindow::CardWindow(const QString& caption, const QColor& gradientTop,
                       const QString& initialHint)
    : m_initialHint(initialHint) {
    WindowFrame::setupSizeableWindow(this, caption, kDesignSize);
    auto* backdrop = new Backdrop(this, gradientTop, Qt::white, kPanelSize, kPanelColour);
    m_panel = backdrop->panel();

    panInfo = new QLabel(initialHint);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->setFont(uiFont(QStringLiteral("Tahoma"), 12));
    QPalette pal = panInfo->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    panInfo->setPalette(pal);
    m_hints = new HintLine(panInfo);
    m_hints->clearsOn(backdrop);
    m_hints->clearsOn(m_panel);
}

bool CardWindow::shownPosition(std::optional<int>& position) const {
    const QString text = TextField::trimBlanks(lblPosizione->text());
    position.reset();
    if (text.isEmpty())
        return true;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1)
        return false;
    position = value;
    return true;
}

Shape* CardWindow::addArea(const char* name, const QRect& rect, const QColor& fill,
                           const QColor& gradientBottom) {
    auto* area = new Shape(m_panel, name, fill, QColor(), gradientBottom);
    area->setGeometry(rect);
    m_hints->clearsOn(area);
    return area;
}

ImageButton* CardWindow::addTool(const char* name, const QString& resource, const QRect& rect,
                                 const QString& hint) {
    auto* button = new ImageButton(m_panel, name, resource);
    button->setGeometry(rect);
    m_hints->setHint(button, hint);
    return button;
}

void CardWindow::addBrowsingTools(int xFirst, int xPrevious, int xNext, int xLast, int y,
                                  const QRect& position) {
    connect(addTool("cmdPrimo", QStringLiteral(":/icons/primo.svg"), {xFirst, y, 37, 39},
                    QStringLiteral("Visualizza la prima scheda in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::first);
    connect(addTool("cmdIndietro", QStringLiteral(":/icons/indietro.svg"), {xPrevious, y, 37, 39},
                    QStringLiteral("Visualizza la scheda precedente in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::previous);
    connect(addTool("cmdAvanti", QStringLiteral(":/icons/avanti.svg"), {xNext, y, 37, 39},
                    QStringLiteral("Visualizza la scheda successiva in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::next);
    connect(addTool("cmdUltimo", QStringLiteral(":/icons/ultimo.svg"), {xLast, y, 37, 39},
                    QStringLiteral("Visualizza l'ultima scheda in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::last);

    lblPosizione = named(new QLabel(m_panel), "lblPosizione");
    lblPosizione->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setGeometry(position);
}

void CardWindow::addHintBar(const QRect& rect, const QColor& colour) {
    addArea("panHint", rect, colour);
    panInfo->setParent(m_panel);
    panInfo->setGeometry(rect.adjusted(10, 0, -10, 0));
    panInfo->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    panInfo->raise();
}

void CardWindow::showAccessError() {
    Messages::error(this, kAccessError);
}

void CardWindow::browse(BrowseCommand command) {
    std::optional<int> current;
    if (!shownPosition(current)) {
        showAccessError();
        return;
    }
    const auto result = archive().browse(command, current);
    if (!result) {
        showAccessError();
        return;
    }
    switch (result->step.kind) {
    case BrowseStep::Load:
        loadCard(*result->record, result->step.position);
        break;
    case BrowseStep::EmptyArchive:
        if (result->step.clearsPosition)
            lblPosizione->clear();
        Messages::information(this, kEmptyArchive);
        break;
    case BrowseStep::Nothing:
        break;
    }
}

void CardWindow::closeEvent(QCloseEvent* event) {
    closing();
    event->accept();
    if (auto* registry = WindowRegistry::current())
        registry->showMainMenu(this);
}
