#include "CardWindow.h"

#include "HintLine.h"
#include "Messages.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "core/TextField.h"

#include <QCloseEvent>
#include <QLineEdit>

const QString CardWindow::kEmptyArchive = QStringLiteral("L'archivio non contiene nessuna scheda.");

namespace {
const QSize kDesignSize(1016, 713);
const QSize kPanelSize(995, 692);
const QColor kPanelColour(0xC8, 0xD6, 0xE3);
} // namespace

CardWindow::CardWindow(const QString& caption, const QColor& gradientTop,
                       const QString& initialHint) {
    WindowFrame::setupSizeableWindow(this, caption, kDesignSize);
    auto* backdrop = new Backdrop(this, gradientTop, Qt::white, kPanelSize, kPanelColour);
    m_content = std::make_unique<WindowPanel>(backdrop->panel(), backdrop, initialHint);
    panInfo = m_content->panInfo();
}

QString CardWindow::fieldText(const QString& controlName) const {
    const auto* field = findChild<QLineEdit*>(controlName);
    return field ? field->text() : QString();
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

void CardWindow::addBrowsingTools(int xFirst, int xPrevious, int xNext, int xLast, int y,
                                  const QRect& position) {
    connect(addTool("cmdPrimo", artwork("primo"), {xFirst, y, 37, 39},
                    QStringLiteral("Visualizza la prima scheda in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::first);
    connect(addTool("cmdIndietro", artwork("indietro"), {xPrevious, y, 37, 39},
                    QStringLiteral("Visualizza la scheda precedente in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::previous);
    connect(addTool("cmdAvanti", artwork("avanti"), {xNext, y, 37, 39},
                    QStringLiteral("Visualizza la scheda successiva in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::next);
    connect(addTool("cmdUltimo", artwork("ultimo"), {xLast, y, 37, 39},
                    QStringLiteral("Visualizza l'ultima scheda in archivio.")),
            &QAbstractButton::clicked, this, &CardWindow::last);

    lblPosizione = named(new QLabel(panContainer()), "lblPosizione");
    lblPosizione->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setGeometry(position);
}

void CardWindow::addHintBar(const QRect& rect, const QColor& colour) {
    m_content->addHintBar("panHint", rect, colour, QPoint(10, (rect.height() - 16) / 2));
}

void CardWindow::showAccessError() {
    Messages::error(this, Messages::kArchiveAccessError);
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
    emit closed();
}
