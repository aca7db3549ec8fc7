#pragma once

#include "core/Browsing.h"
#include "core/RecordArchive.h"

#include <QLabel>
#include <QWidget>
#include <memory>
#include <optional>

#include "CardTarget.h"
#include "Messages.h"
#include "WindowPanel.h"

class HintLine;
class ImageButton;
class Shape;

// What the two card windows share: the maximized frame with its central panel, the
// toolbar groups and picture buttons, the hint line, the position label and the four
// browsing commands over the window's archive, and the hand-over to the main menu when
// the window closes.
class CardWindow : public QWidget, public CardTarget {
    Q_OBJECT
public:
    QString fieldText(const QString& controlName) const override;
    QString archivePath() const override { return archive().path(); }

    static inline const QString& kAccessError = Messages::kArchiveAccessError;
    static const QString kEmptyArchive;

    QLabel* lblPosizione = nullptr;
    QLabel* panInfo = nullptr;

    // The 1-based position shown; empty for a card not yet in the archive. False when the
    // label holds something that is not a whole number.
    bool shownPosition(std::optional<int>& position) const;

signals:
    // The window has closed (its own exit or the close box): the main menu comes back.
    void closed();

public slots:
    void first() { browse(BrowseCommand::First); }
    void previous() { browse(BrowseCommand::Previous); }
    void next() { browse(BrowseCommand::Next); }
    void last() { browse(BrowseCommand::Last); }

protected:
    CardWindow(const QString& caption, const QColor& gradientTop, const QString& initialHint);

    QWidget* panContainer() const { return m_content->panel(); }
    HintLine* hints() const { return m_content->hints(); }

    // A toolbar group, a section or any flat area whose pointer-over empties the hint
    // line. Areas are drawn under the controls created after them.
    Shape* addArea(const char* name, const QRect& rect, const QColor& fill,
                   const QColor& gradientBottom = QColor()) {
        return m_content->addArea(name, rect, fill, gradientBottom);
    }
    // A toolbar picture button with its hint.
    ImageButton* addTool(const char* name, const QString& resource, const QRect& rect,
                         const QString& hint) {
        return m_content->addTool(name, resource, rect, hint);
    }
    // The browsing group: the four arrows (37 x 39 at y) with the position label between
    // them.
    void addBrowsingTools(int xFirst, int xPrevious, int xNext, int xLast, int y,
                          const QRect& position);
    // The hint bar at the bottom of the panel.
    void addHintBar(const QRect& rect, const QColor& colour);

    void showAccessError();

    virtual RecordArchive archive() const = 0;
    // Runs before the hand-over to the main menu.
    virtual void closing() {}

    void closeEvent(QCloseEvent* event) override;

private:
    void browse(BrowseCommand command);

    std::unique_ptr<WindowPanel> m_content;
};
