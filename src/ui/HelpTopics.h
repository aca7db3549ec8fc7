#pragma once
#include <QString>
// The topics of the help window: a title and a body of paragraphs separated by an empty line.
struct HelpTopic {
    QString title;
    QString body;
};
namespace HelpTopics {
HelpTopic overview();          // title "Uno sguardo ad Faldora."  (main menu)
HelpTopic protocolYear();      // title "Applicazione Protocollo Posta."  (year selection window)
HelpTopic protocol();          // title "Applicazione Protocollo Posta."  (protocol card window)
HelpTopic protocolAnnulment(); // title "Annullamento di una scheda di protocollo."
HelpTopic documents();         // title "Applicazione Schedario Documenti."
HelpTopic protocolSummary();   // title "Riepilogo protocollo per intervallo di tempo."
HelpTopic protocolExport();    // title "Esportazione protocollo posta in Microsoft Excel."
HelpTopic documentExport();    // title "Esportazione schedario documenti in Microsoft Excel."
HelpTopic archiveCheck();      // title "Verifica archivio."  (main menu, archive check window)
HelpTopic history();           // title "Cronologia della scheda."
} // namespace HelpTopics
