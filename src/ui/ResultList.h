#pragma once

#include "core/RecordArchive.h"
#include "core/RecordLayout.h"
#include "core/Search.h"

#include <QList>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

class CardTarget;
class QLabel;
class QLineEdit;
class QListView;

namespace ResultLines {
class Model;
}

// A page of fixed-width card lines, 833 x 529: a banner, the "Trova" strip that finds a
// word in the list, the sorted list itself, its print and a double click that brings the
// chosen card into the card window. The search windows show it after their filters; the
// to-complete list is a dialog holding it alone.
class ResultList : public QWidget {
    Q_OBJECT
public:
    // For the card at 1-based `position`, the record its line is built from instead of
    // its own; nothing for a card listed as it is.
    using LineMarker =
        std::function<std::optional<QByteArray>(int position, QByteArrayView record)>;
    struct Setup {
        QString banner;     // picture resource of the banner
        QString printTitle; // title of the printed list
        // How the archive's cards make the lines: a double click finds the chosen card by
        // building the line of every card again.
        const RecordLayout* layout;
        QList<Search::LinePiece> line;
        bool countLine = false; // lblTrovate, rewritten with the number of lines
        // Control names in tab order; empty keeps the order the controls are made in.
        QList<const char*> tabOrder = {};
        // Whether a double click may load a card now (the opener's tag, say); none: always.
        std::function<bool()> mayLoad = {};
        // Cards whose line the archive marks (an annulled card): made once per listing for
        // the archive at a path; for a card, the record to build its line from instead.
        std::function<LineMarker(const QString& archivePath)> marker = {};
        // Makes the card window work on the archive at a path (another year's register)
        // before a card of it chosen in a list of several archives is loaded.
        std::function<void(const QString& archivePath)> openArchive = {};
    };
    // An archive of a list of several, and the text its lines begin with (its year).
    struct Source {
        QString path;
        QString prefix;
    };

    // Fills `panel` (833 x 529). `cardWindow` receives the chosen card and names the
    // archive read to find it.
    ResultList(QWidget* panel, Setup setup, CardTarget* cardWindow);

    // Shows `lines` in list order, the first selected, and forgets the last "Trova" key.
    void setLines(QStringList lines);
    // The same for lines built from cards (Search::LineList: sorted here).
    void setLines(Search::LineList lines);
    // Lists the cards of the card window's archive that `listed` accepts (every card when
    // none), as setLines() does, reading the file once. `progress` as in
    // RecordArchive::scanBytes(). False when the file failed: the lines found before the
    // failure are listed.
    bool list(const Search::CardTest& listed = {}, const RecordArchive::Progress& progress = {});
    // The same over every archive of `sources`: their lines in blocks in the order given,
    // each sorted, each line after its archive's prefix. Gives the paths of the archives that
    // failed; the lines found in them before the failure are listed, and the others read.
    QStringList listAll(const QList<Source>& sources, const Search::CardTest& listed = {},
                        const RecordArchive::Progress& progress = {});
    QStringList lines() const;
    int selectedLine() const;
    // As on opening: no "Trova" key, the first line selected, the key field empty.
    void restart();
    // The key field empty and with the focus, ready for a "Trova".
    void startFinding();

signals:
    void closeRequested(); // "Chiudi"
    void cardLoaded();     // after a double click, whatever it found

public slots:
    void findInList();
    void loadSelected();
    void printList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectFirst();
    void linesChanged();
    // Adds the lines of the cards of the archive at `path` that `listed` accepts to `found`.
    bool scan(const QString& path, const Search::CardTest& listed,
              const RecordArchive::Progress& progress, Search::LineList& found) const;

    Setup m_setup;
    CardTarget* m_cardWindow;
    ResultLines::Model* m_model;
    Search::ListFinder m_finder;
    QLabel* lblTrovate = nullptr; // null without a count line
    QLineEdit* txtTrova;
    QListView* lstRecords;
};
