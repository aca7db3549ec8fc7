#include "Calendario.h"

#include "Clock.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "core/ShortDate.h"

#include <QCalendarWidget>
#include <QPushButton>

namespace {

// The tags of the date fields, in the order they are compared.
constexpr const char* kTags[] = {"datapro", "datades", "datareg"};

} // namespace

TfrmCalendario::TfrmCalendario(QWidget* opener) : QDialog(opener) {
    setObjectName(QStringLiteral("frmCalendario"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Importazione data"), {253, 294});
    auto* backdrop = new Backdrop(this, Qt::white, QColor(0x35, 0x25, 0x25), {230, 266});
    QWidget* panel = backdrop->panel();

    addLabel(panel, "lblCampo001", QStringLiteral("Importare una data:"), 12, 8,
             uiFont(QStringLiteral("Verdana"), 12));
    (new Shape(panel, "bkgCalendario", QColor(0xD6, 0xDC, 0xE1), Qt::white))
        ->setGeometry(12, 28, 206, 188);

    calAppuntamenti = named(new QCalendarWidget(panel), "calAppuntamenti");
    calAppuntamenti->setGeometry(24, 40, 182, 164);
    calAppuntamenti->setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    calAppuntamenti->setFirstDayOfWeek(Qt::Monday);
    calAppuntamenti->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    calAppuntamenti->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    calAppuntamenti->setFont(uiFont(QStringLiteral("Verdana"), 10));
    calAppuntamenti->setSelectedDate(Clock::today());

    QPushButton* btnImportaData = addButton(panel, QStringLiteral("btnImportaData"),
                                            QStringLiteral("Importa"), {122, 224, 96, 28});
    QPushButton* btnAnnulla = addButton(panel, QStringLiteral("btnAnnulla"),
                                        QStringLiteral("Annulla"), {12, 224, 96, 28});
    setTabOrder(calAppuntamenti, btnImportaData);
    setTabOrder(btnImportaData, btnAnnulla);

    lblMemory = addHiddenLabel(panel, "lblMemory");

    connect(btnImportaData, &QPushButton::clicked, this, &TfrmCalendario::importDate);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    calAppuntamenti->setFocus();
}

void TfrmCalendario::importDate() {
    const QString tag = lblMemory->text();
    for (const char* known : kTags) {
        if (tag == QLatin1String(known)) {
            m_date = ShortDate::format(calAppuntamenti->selectedDate());
            accept();
            return;
        }
    }
}

std::optional<QString> TfrmCalendario::importFor(QWidget* opener, const QString& tag) {
    TfrmCalendario dialog(opener);
    dialog.lblMemory->setText(tag);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.importedDate();
}
