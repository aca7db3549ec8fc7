#include "TrovaProtocollo.h"

#include "core/Annulments.h"
#include "core/ArchiveCheck.h"
#include "core/ProtocolRecord.h"
#include "ui/ArchiveTag.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"

#include <QFileInfo>
#include <memory>

namespace {

using F = ProtocolRecord::Field;

// The line of an annulled card says so before its subject, where the list shows it; the
// register's annulments are read once per listing.
ResultList::LineMarker annulledLines(const QString& registerPath) {
    auto reading = std::make_shared<const Annulments::Reading>(Annulments::read(registerPath));
    if (reading->byPosition.isEmpty())
        return {};
    return [reading](int position, QByteArrayView record) -> std::optional<QByteArray> {
        if (!reading->find(position))
            return std::nullopt;
        ProtocolRecord card(record.toByteArray());
        card.setText(F::Oggetto, Annulments::kListMark + card.text(F::Oggetto));
        return card.bytes();
    };
}

// Every year's register of the program folder, newest first, each line after its year.
QList<ResultList::Source> everyYear() {
    QList<ResultList::Source> sources;
    const QString folder = ProgramFolder::path();
    for (const QString& name : ArchiveCheck::archivesIn(folder)) {
        if (name.endsWith(QStringLiteral(".prt")))
            sources.prepend({folder + name, name.left(4) + QStringLiteral("  ")});
    }
    return sources;
}

SearchWindow::Setup setup(std::function<void(const QString& year)> openYear) {
    return {
        QStringLiteral(" Trova documenti protocollati"),
        &ProtocolRecord::layout(),
        {
            {"txtNumero", "N. protocollo:", F::Numero, 144, 141},
            {"txtTipologia", "Tipologia posta (in entrata, in uscita, interna):", F::Tipologia, 488,
             141},
            {"txtDataReg", "Data registrazione (gg/mm/aaaa):", F::DataReg, 144, 211},
            {"txtOperatore", "Operatore:", F::Operatore, 488, 211},
            {"txtCategoria", "Categoria:", F::Categoria, 144, 281},
            {"txtOggetto", "Oggetto:", F::Oggetto, 488, 281},
            {"txtMittente", "Mittente:", F::Mittente, 144, 351},
            {"txtDestinatario", "Destinatario:", F::Destinatario, 488, 351},
            {"txtRiferimenti", "Riferimenti:", F::Riferimenti, 144, 421},
            {"txtNote", "Note:", F::Note, 488, 421},
        },
        TfrmTrovaProtocollo::resultLine(),
        ArchiveTag::Protocol,
        artwork("trova_banner"),
        QStringLiteral("Protocollo documenti"),
        artwork("campi"),
        &annulledLines,
        &everyYear,
        QStringLiteral("Cerca in tutti gli anni"),
        QStringLiteral("(dal più recente; ogni riga inizia con l'anno)"),
        [openYear = std::move(openYear)](const QString& path) {
            if (openYear)
                openYear(QFileInfo(path).fileName().left(4));
        },
    };
}

} // namespace

QList<Search::LinePiece> TfrmTrovaProtocollo::resultLine() {
    return {
        {"Prot. n. ", F::Numero, 14}, {"  Data: ", F::DataReg, 10}, {"  Posta: ", F::Tipologia, 10},
        {"  ", F::Oggetto, 35},       {"  Da: ", F::Mittente, 24},  {"  A: ", F::Destinatario, 0},
    };
}

TfrmTrovaProtocollo::TfrmTrovaProtocollo(QWidget* opener, CardTarget* cardWindow,
                                         std::function<void(const QString& year)> openYear)
    : SearchWindow(opener, cardWindow, setup(std::move(openYear))) {
    setObjectName(QStringLiteral("frmTrovaProtocollo"));
}
