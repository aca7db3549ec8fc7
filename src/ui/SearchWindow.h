#pragma once

#include "core/RecordLayout.h"
#include "core/Search.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

// The search window of an archive: a page of field filters, then a page listing the
// matching cards as fixed-width lines, a "Trova" to find a word in the list, and a double
// click that loads the chosen card into the card window.
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
    };

    SearchWindow(QWidget* opener, const QString& archivePath, Setup setup);

    QLabel* lblMemory;
    QLabel* lblConta;
    QLabel* lblAttendere;
    QLabel* lblTrovate;
    QPushButton* btnCerca;
    QPushButton* btnAnnulla;
    QPushButton* btnTrova;
    QPushButton* btnChiudi;
    QPushButton* btnStampa;
    QLineEdit* txtTrova;
    QListView* lstRecords;
    QWidget* panAvvio;
    QWidget* panContainer;

    QStringList lines() const;
    int selectedLine() const;
    QLineEdit* filter(int index) const { return m_filters[index]; }

public slots:
    void search();
    void findInList();
    void loadSelected();
    void printList();

protected:
    void showEvent(QShowEvent* event) override;
    // Shows the record in the card window (its load rule), at its 1-based position.
    virtual void loadCard(const Record& record, int position) = 0;

private:
    void buildFilterPage();
    void buildResultPage();

    QString m_path;
    Setup m_setup;
    QList<QLineEdit*> m_filters;
    QStringListModel* m_lines;
    Search::ListFinder m_finder;
};
