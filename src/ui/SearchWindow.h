#pragma once

#include "core/RecordLayout.h"
#include "core/Search.h"
#include "ui/ResultList.h"
#include "ui/Widgets.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class CardTarget;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;

// The search window of an archive: a page of field filters, then a page listing the
// matching cards (a ResultList) from which the chosen card goes into the card window.
class SearchWindow : public QDialog {
    Q_OBJECT
public:
    struct FilterField {
        const char* name; // txtNumero, ...
        const char* label;
        int field; // index in the record's layout
        int x, y;  // of the edit, in the filter page
    };
    struct Setup {
        QString caption;
        const RecordLayout* layout;
        QList<FilterField> filters; // in tab and Enter order
        QList<Search::LinePiece> line;
        QString tag;          // the opener's tag that allows loading a card
        QString resultBanner; // picture resource of the result page
        QString printTitle;   // title of the printed list
        // Picture resource of the strip beside the filters.
        QString filterPicture = artwork("campi");
        // Cards whose result line the archive marks (ResultList::Setup::marker).
        std::function<ResultList::LineMarker(const QString& archivePath)> marker = {};
        // The archives a ticked "all archives" box searches instead of the card window's
        // (every year's register), in list order; none: no such box.
        std::function<QList<ResultList::Source>()> allArchives = {};
        QString allArchivesText = {}; // the box's caption
        QString allArchivesHint = {}; // the line beside it
        // As ResultList::Setup::openArchive, for a card of another archive.
        std::function<void(const QString& archivePath)> openArchive = {};
    };

    // Says why a register's cards are missing from a list of several years; "%1": its file
    // name.
    static const QString kArchiveSkipped;

    // Searches the archive of `cardWindow` and loads the chosen card into it.
    SearchWindow(QWidget* opener, CardTarget* cardWindow, Setup setup);

    // Says which card window opened it; a card is loaded only when this is the setup's tag.
    void setOpenerTag(const QString& tag);

public slots:
    void search();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildFilterPage();
    void showResults();

    Setup m_setup;
    CardTarget* m_cardWindow;
    QList<QLineEdit*> m_filters;
    ResultList* m_results;
    QCheckBox* chkTuttiGliAnni = nullptr; // only with allArchives
    QLabel* lblMemory;
    QLabel* lblConta;
    QLabel* lblAttendere;
    QProgressBar* prbRicerca; // beside the wait notice, on a long search
    QWidget* panAvvio;        // the filter page
    QWidget* panContainer;    // the result page
};
