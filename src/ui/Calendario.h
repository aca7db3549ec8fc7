#pragma once

#include <QDialog>
#include <QString>
#include <optional>

class QCalendarWidget;
class QLabel;

// The date import window: a month calendar whose "Importa" hands the chosen date back to the
// opener as dd/mm/yyyy, when lblMemory holds one of the date fields' tags ("datapro",
// "datades", "datareg"). The opener writes it into the field that opened the window.
class TfrmCalendario final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmCalendario)
public:
    explicit TfrmCalendario(QWidget* opener);

    // Opens a fresh window over `opener` with `tag`; the date imported, none when the user
    // cancelled.
    static std::optional<QString> importFor(QWidget* opener, const QString& tag);

    // The date "Importa" handed back; empty until then.
    const QString& importedDate() const { return m_date; }

private:
    void importDate();

    QString m_date;
    QLabel* lblMemory;
    QCalendarWidget* calAppuntamenti;
};
