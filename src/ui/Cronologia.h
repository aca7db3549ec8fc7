#pragma once

#include "core/Journal.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QTableView;
class RecordLayout;
class WindowPanel;

namespace CardHistory {
class Model;
}

// The history of one stored card: the changes its saves wrote to the archive's change
// journal, oldest first, one row per changed field (date and time, what happened, the
// field's caption, the text before and after), the rows of one save on one shade. The
// journal is read once, after the window shows, with a progress bar when it is long. A
// damaged or unreadable journal is said in a warning over the rows that could be read; a
// card saved before the journal existed says that it has no history.
class TfrmCronologia final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmCronologia)
public:
    struct Card {
        QString archivePath;
        const RecordLayout* layout;
        int position; // 1-based
        // How the journal names the archive and its cards.
        Journal::Identity identity;
        // The caption a record field (by its name in the journal) has in the card window.
        std::function<QString(const QString& field)> caption;
    };

    TfrmCronologia(QWidget* opener, Card card);
    ~TfrmCronologia() override;

    // What the second column says a row's save was.
    static QString kindText(Journal::Kind kind);

    static const QString kNoHistory;
    static const QString kEarlierHistory;
    static const QString kChangedSince;
    static const QString kUnreadable;
    static const QString kAltered;

    // Whether the journal has been read (it is, soon after the window shows).
    bool isLoaded() const { return m_loaded; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void load();
    // The notice over the rows: a warning in crimson, a remark in dark cyan.
    void setNotice(const QString& text, bool warning);
    QString alteredText(const Journal::Reading& reading) const;

    Card m_card;
    std::unique_ptr<WindowPanel> m_content;
    CardHistory::Model* m_model;
    QLabel* lblScheda;
    QLabel* lblConta;
    QLabel* lblAvviso;
    QLabel* lblNessuna; // over the list while it is empty
    QTableView* grdCronologia;
    QProgressBar* prbCronologia;
    bool m_loaded = false;
    bool m_loading = false;
};
