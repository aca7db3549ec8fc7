#include "EveryWindow.h"

#include "app/Operazione.h"
#include "app/Verifica.h"

#include "access/CambiaPassword.h"
#include "access/Password.h"
#include "app/Avvio.h"
#include "app/Info.h"
#include "app/Splash.h"
#include "core/Credential.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "documents/Altri.h"
#include "documents/DaCompletare.h"
#include "documents/ExpAltri.h"
#include "documents/StampaAltri.h"
#include "documents/TrovaAltri.h"
#include "protocol/MenuProtocollo.h"
#include "protocol/Numerazione.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/StampaProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "ui/AllegaCartella.h"
#include "ui/ArchiveTag.h"
#include "ui/Calendario.h"
#include "ui/Cronologia.h"
#include "ui/Guida.h"

#include <QLabel>

EveryWindow::EveryWindow() {
    Credential::write(services.file(QStringLiteral("unins000.dll")),
                      QStringLiteral("lucernavolpina"));
    registry.createAll();
    control<QLabel>(registry.protocollo(), "lblFile")
        ->setText(services.file(QStringLiteral("2026.prt")));
}

QStringList EveryWindow::names() {
    return {
        QStringLiteral("TfrmPassword"),        QStringLiteral("TfrmCambiaPassword"),
        QStringLiteral("TfrmAvvio"),           QStringLiteral("TfrmMenuProtocollo"),
        QStringLiteral("TfrmProtocollo"),      QStringLiteral("TfrmAltri"),
        QStringLiteral("TfrmGuida"),           QStringLiteral("TfrmInfo"),
        QStringLiteral("TfrmSplash"),          QStringLiteral("TfrmAllegaCartella"),
        QStringLiteral("TfrmCalendario"),      QStringLiteral("TfrmNumerazione"),
        QStringLiteral("TfrmExpProtocollo"),   QStringLiteral("TfrmStampaProtocollo"),
        QStringLiteral("TfrmTrovaProtocollo"), QStringLiteral("TfrmRiepProtocollo"),
        QStringLiteral("TfrmExpAltri"),        QStringLiteral("TfrmDaCompletare"),
        QStringLiteral("TfrmTrovaAltri"),      QStringLiteral("TfrmStampaAltri"),
        QStringLiteral("TfrmVerifica"),        QStringLiteral("TfrmCronologia"),
        QStringLiteral("TfrmOperazione"),
    };
}

QWidget* EveryWindow::open(const QString& name) {
    TfrmProtocollo* protocollo = registry.protocollo();
    TfrmAltri* altri = registry.altri();
    const QString registerPath = services.file(QStringLiteral("2026.prt"));
    const QString indexPath = services.file(DocumentArchive::FileName);
    if (name == QLatin1String("TfrmPassword")) {
        registry.start();
        return registry.password();
    }
    if (name == QLatin1String("TfrmCambiaPassword")) {
        registry.start();
        registry.showChangePassword(registry.password());
        return registry.cambiaPassword();
    }
    if (name == QLatin1String("TfrmAvvio")) {
        registry.start();
        registry.showMainMenu(registry.password());
        return registry.avvio();
    }
    if (name == QLatin1String("TfrmMenuProtocollo")) {
        registry.start();
        registry.showYearSelection(registry.password());
        return registry.menuProtocollo();
    }
    if (name == QLatin1String("TfrmProtocollo")) {
        registry.start();
        registry.showProtocolWindow(registry.password());
        return protocollo;
    }
    if (name == QLatin1String("TfrmAltri")) {
        registry.start();
        registry.showDocumentWindow(registry.password());
        return altri;
    }
    if (name == QLatin1String("TfrmGuida"))
        dialog = std::make_unique<TfrmGuida>(protocollo);
    else if (name == QLatin1String("TfrmInfo"))
        dialog = std::make_unique<TfrmInfo>(nullptr);
    else if (name == QLatin1String("TfrmVerifica"))
        dialog = std::make_unique<TfrmVerifica>(nullptr);
    else if (name == QLatin1String("TfrmOperazione"))
        dialog = std::make_unique<TfrmOperazione>(nullptr, "frmBackup", QStringLiteral("Backup"),
                                                  QStringLiteral("Copia l'archivio."));
    else if (name == QLatin1String("TfrmSplash"))
        dialog = std::make_unique<TfrmSplash>(nullptr);
    else if (name == QLatin1String("TfrmAllegaCartella"))
        dialog = std::make_unique<TfrmAllegaCartella>(protocollo);
    else if (name == QLatin1String("TfrmCalendario"))
        dialog = std::make_unique<TfrmCalendario>(protocollo);
    else if (name == QLatin1String("TfrmNumerazione"))
        dialog = std::make_unique<TfrmNumerazione>(protocollo);
    else if (name == QLatin1String("TfrmExpProtocollo"))
        dialog = std::make_unique<TfrmExpProtocollo>(protocollo, registerPath);
    else if (name == QLatin1String("TfrmStampaProtocollo"))
        dialog = std::make_unique<TfrmStampaProtocollo>(protocollo, *protocollo);
    else if (name == QLatin1String("TfrmTrovaProtocollo"))
        dialog = std::make_unique<TfrmTrovaProtocollo>(protocollo, protocollo);
    else if (name == QLatin1String("TfrmRiepProtocollo"))
        dialog = std::make_unique<TfrmRiepProtocollo>(protocollo, registerPath);
    else if (name == QLatin1String("TfrmExpAltri"))
        dialog = std::make_unique<TfrmExpAltri>(altri, indexPath);
    else if (name == QLatin1String("TfrmDaCompletare"))
        dialog = std::make_unique<TfrmDaCompletare>(altri, altri);
    else if (name == QLatin1String("TfrmTrovaAltri"))
        dialog = std::make_unique<TfrmTrovaAltri>(altri, altri);
    else if (name == QLatin1String("TfrmStampaAltri"))
        dialog = std::make_unique<TfrmStampaAltri>(altri, *altri);
    else if (name == QLatin1String("TfrmCronologia"))
        dialog = std::make_unique<TfrmCronologia>(
            protocollo, TfrmCronologia::Card{registerPath, &ProtocolRecord::layout(), 1,
                                             ProtocolRecord::journalIdentity(registerPath),
                                             [](const QString& field) { return field; }});
    else
        qFatal("no window %s", qPrintable(name));
    // The tag its opener gives it, where it has one.
    if (auto* memory = dialog->findChild<QLabel*>(QStringLiteral("lblMemory")))
        memory->setText(name == QLatin1String("TfrmCalendario") ? QStringLiteral("datareg")
                                                                : ArchiveTag::Protocol);
    dialog->show();
    return dialog.get();
}
