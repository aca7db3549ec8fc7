#include "Application.h"

#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

namespace Application {

void configure(QApplication& app) {
    // The name only: a display name would be appended by the platform to every caption
    // (" Faldora - Accesso — Faldora"), and each window's caption is exactly its own.
    app.setApplicationName(QStringLiteral("Faldora"));
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setFont(uiFont(QStringLiteral("Verdana"), 12));

    // Dates are dd/mm/yyyy, the decimal separator ",", months and weekdays in Italian,
    // weeks from Monday.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // Qt's own texts (message-box buttons, file and print dialogs): the copy beside the
    // program first, so the portable folder speaks Italian anywhere.
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_it"),
                         ProgramFolder::file(QStringLiteral("translations"))) ||
        translator->load(QStringLiteral("qtbase_it"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

} // namespace Application
