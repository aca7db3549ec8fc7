#include "Annulla.h"

#include "core/TextField.h"
#include "ui/FocusHalo.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

const QString TfrmAnnulla::kNoReason = QStringLiteral(
    "Attenzione: per annullare la scheda è necessario indicare il motivo dell'annullamento.");
const QString TfrmAnnulla::kNoAuthorisation =
    QStringLiteral("Attenzione: per annullare la scheda è necessario indicare chi ha autorizzato "
                   "l'annullamento.");
const QString TfrmAnnulla::kConfirm = QStringLiteral(
    "Annullare la scheda N. %1?\r\n\r\nLa scheda resterà in archivio con il segno ANNULLATA, il "
    "motivo e l'autorizzazione indicati; non potrà più essere modificata e il suo numero non "
    "sarà assegnato ad altre schede.");

namespace {
// The reason and the name as the journal keeps them: one line each, of a sensible length.
constexpr int kReasonLength = 250;
constexpr int kNameLength = 120;
} // namespace

TfrmAnnulla::TfrmAnnulla(QWidget* opener, const QString& number)
    : QDialog(opener), m_number(number) {
    setObjectName(QStringLiteral("frmAnnulla"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Annulla scheda"), {420, 330});
    auto* backdrop = new Backdrop(this, QColor(0x46, 0x82, 0xB4), Qt::white, {404, 314});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSezione1", Qt::white))->setGeometry(0, 0, 404, 86);
    (new Shape(panel, "shpSezione2", Qt::white))->setGeometry(0, 94, 404, 172);
    (new Picture(panel, "icoLogo", artwork("faldora_logo")))->setGeometry(8, 6, 52, 52);
    auto* lblIstruzioni = named(
        new QLabel(QStringLiteral("La scheda N. %1 resterà in archivio con il segno ANNULLATA, "
                                  "il motivo e chi ha autorizzato l'annullamento. Non potrà più "
                                  "essere modificata.")
                       .arg(number),
                   panel),
        "lblIstruzioni");
    lblIstruzioni->setFont(uiFont(QStringLiteral("Verdana"), 12));
    lblIstruzioni->setWordWrap(true);
    lblIstruzioni->setGeometry(70, 6, 326, 74);

    const QFont captionFont = uiFont(QStringLiteral("Verdana"), 12);
    const QFont fieldFont = uiFont(QStringLiteral("Verdana"), 12, true);
    const auto field = [&](const char* name, const char* caption, const char* captionText, int y,
                           int length) {
        addLabel(panel, caption, QString::fromUtf8(captionText), 12, y - 18, captionFont);
        auto* edit = named(new QLineEdit(panel), name);
        edit->setFont(fieldFont);
        edit->setMaxLength(length);
        edit->setGeometry(16, y, 372, 22);
        FocusHalo::attach(edit);
        return edit;
    };
    txtMotivo = field("txtMotivo", "lblMotivo", "Motivo dell'annullamento:", 132, kReasonLength);
    txtAutorizzato = field("txtAutorizzato", "lblAutorizzato", "Autorizzato da:", 196, kNameLength);
    addLabel(panel, "lblObbligatori", QStringLiteral("Entrambi i campi sono obbligatori."), 16, 234,
             uiFont(QStringLiteral("Verdana"), 11));

    QPushButton* btnGuida =
        addButton(panel, QStringLiteral("btnGuida"), QStringLiteral("Guida"), {0, 282, 100, 32});
    QPushButton* btnChiudi = addButton(panel, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"),
                                       {108, 282, 120, 32});
    QPushButton* btnConferma = addButton(panel, QStringLiteral("btnConferma"),
                                         QStringLiteral("Annulla la scheda"), {236, 282, 168, 32});

    KeyRules::enterMovesTo(txtMotivo, txtAutorizzato);
    KeyRules::enterMovesTo(txtAutorizzato, btnConferma);
    connect(btnGuida, &QPushButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::protocolAnnulment()); });
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnConferma, &QPushButton::clicked, this, &TfrmAnnulla::confirm);
    txtMotivo->setFocus();
}

std::optional<TfrmAnnulla::Answer> TfrmAnnulla::askFor(QWidget* opener, const QString& number) {
    TfrmAnnulla window(opener, number);
    window.exec();
    return window.answer();
}

void TfrmAnnulla::confirm() {
    const QString reason = TextField::trimBlanks(txtMotivo->text());
    const QString authorisedBy = TextField::trimBlanks(txtAutorizzato->text());
    if (reason.isEmpty()) {
        Messages::warning(this, kNoReason);
        txtMotivo->setFocus();
        return;
    }
    if (authorisedBy.isEmpty()) {
        Messages::warning(this, kNoAuthorisation);
        txtAutorizzato->setFocus();
        return;
    }
    if (!Messages::question(this, kConfirm.arg(m_number)))
        return;
    m_answer = Answer{reason, authorisedBy};
    accept();
}
