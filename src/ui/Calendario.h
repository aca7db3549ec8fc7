#pragma once

#include <QDialog>

class QCalendarWidget;
class QLabel;
class QLineEdit;
class QPushButton;

// The date import window: a month calendar whose date "Importa" writes, as dd/mm/yyyy,
// into the date field that the tag in lblMemory names ("datareg", "datapro", "datades").
class TfrmCalendario : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCalendario(QWidget* opener);

    // Makes `field` a date field of its window: Backspace and Delete empty it, any other key
    // opens a fresh date import window with `tag`.
    static void attachTo(QLineEdit* field, const QString& tag);

    QLabel* lblMemory;
    QCalendarWidget* calAppuntamenti;
    QPushButton* btnImportaData;
    QPushButton* btnAnnulla;

private:
    void importDate();
    QWidget* m_opener;
};
