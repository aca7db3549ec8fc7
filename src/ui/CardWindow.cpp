#include "CardWindow.h"

#include "AllegaCartella.h"
#include "AttachmentSlot.h"
#include "Calendario.h"
#include "Clock.h"
#include "Cronologia.h"
#include "FieldColouring.h"
#include "FocusHalo.h"
#include "Guida.h"
#include "HelpTopics.h"
#include "HintLine.h"
#include "KeyRules.h"
#include "Messages.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "core/TextField.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

const QString CardWindow::kEmptyArchive = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString CardWindow::kUpdated =
    QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString CardWindow::kInserted =
    QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString CardWindow::kChangedElsewhere = QStringLiteral(
    "Attenzione: un'altra postazione ha modificato questa scheda in archivio dopo che è stata "
    "visualizzata qui. Le modifiche non sono state salvate, per non cancellare quelle "
    "dell'altra postazione.\r\n\r\nPremere OK per ricaricare la scheda dall'archivio: le "
    "modifiche digitate qui vi saranno riportate, da controllare e salvare di nuovo. Premere "
    "Annulla per lasciare la scheda com'è, senza salvarla.");
const QString CardWindow::kBothChanged = QStringLiteral(
    "Attenzione: l'altra postazione aveva modificato anche questi campi, che ora mostrano il "
    "testo digitato qui. Il testo salvato dall'altra postazione era:\r\n\r\n%1");
const QString CardWindow::kHistoryOfNewCard =
    QStringLiteral("Attenzione: la cronologia delle modifiche è disponibile soltanto per una "
                   "scheda già inserita in archivio.");

namespace {
const QSize kDesignSize(1016, 713);
const QSize kPanelSize(995, 692);
const QColor kPanelColour(0xC8, 0xD6, 0xE3);
constexpr int kFieldHeight = 22;

// The six hidden labels of the further attachments and the record fields of the same name.
constexpr const char* kAttachmentLabels[] = {"File01", "File02", "File03",
                                             "Desc01", "Desc02", "Desc03"};
} // namespace

CardWindow::CardWindow(const QString& caption, const QColor& gradientTop,
                       const QString& initialHint, const Card& card)
    : m_card(card) {
    WindowFrame::setupSizeableWindow(this, caption, kDesignSize);
    auto* backdrop = new Backdrop(this, gradientTop, Qt::white, kPanelSize, kPanelColour);
    m_content = std::make_unique<WindowPanel>(backdrop->panel(), backdrop, initialHint);

    for (std::size_t i = 0; i < m_attachmentLabels.size(); ++i) {
        const QString name = QString::fromLatin1(kAttachmentLabels[i]);
        const int field = m_card.layout->indexOf(name);
        if (field < 0)
            qFatal("the record has no field %s", kAttachmentLabels[i]);
        const QByteArray labelName = "lbl" + name.toLatin1();
        m_attachmentLabels[i] = {addHiddenLabel(panContainer(), labelName.constData()), field};
    }
}

QString CardWindow::fieldText(const QString& controlName) const {
    const auto* field = findChild<QLineEdit*>(controlName);
    return field ? field->text() : QString();
}

bool CardWindow::shownPosition(std::optional<int>& position) const {
    const QString text = TextField::trimBlanks(lblPosizione->text());
    position.reset();
    if (text.isEmpty())
        return true;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1)
        return false;
    position = value;
    return true;
}

void CardWindow::addBrowsingTools(int xFirst, int xPrevious, int xNext, int xLast, int y,
                                  const QRect& position) {
    const struct {
        const char* name;
        const char* picture;
        int x;
        const char* hint;
        void (CardWindow::*command)();
    } tools[] = {
        {"cmdPrimo", "primo", xFirst, "Visualizza la prima scheda in archivio.",
         &CardWindow::first},
        {"cmdIndietro", "indietro", xPrevious, "Visualizza la scheda precedente in archivio.",
         &CardWindow::previous},
        {"cmdAvanti", "avanti", xNext, "Visualizza la scheda successiva in archivio.",
         &CardWindow::next},
        {"cmdUltimo", "ultimo", xLast, "Visualizza l'ultima scheda in archivio.",
         &CardWindow::last},
    };
    for (const auto& tool : tools)
        connect(addTool(tool.name, artwork(tool.picture), {tool.x, y, 37, 39},
                        QString::fromUtf8(tool.hint)),
                &QAbstractButton::clicked, this, tool.command);

    lblPosizione = named(new QLabel(panContainer()), "lblPosizione");
    lblPosizione->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setGeometry(position);
}

void CardWindow::addFurtherAttachmentsTool(const QRect& rect) {
    ImageButton* tool = addTool("cmdFile", artwork("allega_file"), rect,
                                QStringLiteral("Allega file alla scheda corrente."));
    connect(tool, &QAbstractButton::clicked, this, &CardWindow::openFurtherAttachments);
}

void CardWindow::addToolbarGroups() {
    const QRect groups[] = {{16, 20, 173, 52},  {192, 20, 164, 52}, {360, 20, 164, 52},
                            {530, 20, 253, 52}, {787, 20, 93, 52},  {884, 20, 94, 52}};
    int n = 0;
    for (const QRect& group : groups) {
        const QByteArray name = "shpGruppo" + QByteArray::number(++n);
        addArea(name.constData(), group, Qt::white);
    }
}

void CardWindow::addToolbarButton(const char* name, const char* picture, int x, const char* hint,
                                  const std::function<void()>& action) {
    ImageButton* button = addTool(name, artwork(picture), {x, 26, 37, 39}, QString::fromUtf8(hint));
    if (action)
        connect(button, &QAbstractButton::clicked, this, action);
}

void CardWindow::addPrintTool(const QRect& rect, const std::function<void()>& action) {
    ImageButton* tool =
        addTool("cmdStampa", artwork("stampa"), rect, QStringLiteral("Stampa la scheda corrente."));
    if (action)
        connect(tool, &QAbstractButton::clicked, this, action);
}

void CardWindow::addHelpAndExit(const HelpTopic& topic) {
    addToolbarButton("cmdGuida", "guida", 892, "Visualizza la guida in linea.",
                     [this, topic] { TfrmGuida::showTopic(this, topic); });
    addToolbarButton("cmdEsci", "esci", 933, "Esci da questa schermata di lavoro.",
                     [this] { close(); });
}

void CardWindow::addHintBar(const QRect& rect, const QColor& colour, HintBar kind) {
    m_content->addHintBar("panHint", rect, colour, QPoint(10, (rect.height() - 16) / 2), kind);
    // The right end of the hint bar is the place both card windows leave free: the hints
    // end far before it.
    const QSize size(148, 28);
    ImageButton* tool = addTool(
        "cmdCronologia", artwork("cronologia"),
        {QPoint(rect.right() - 3 - size.width(), rect.top() + (rect.height() - size.height()) / 2),
         size},
        QStringLiteral("Visualizza la cronologia delle modifiche della scheda corrente."));
    tool->raise();
    connect(tool, &QAbstractButton::clicked, this, &CardWindow::openHistory);
}

void CardWindow::forgetStoredState() {
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_card.fields[i].flags & CardField::Attachment)
            m_fields[i]->clear();
    }
    for (const AttachmentLabel& attachment : m_attachmentLabels)
        attachment.label->clear();
    lblPosizione->clear();
    m_loaded.clear();
    m_duplicate = true;
    m_furtherPrints = {};
}

RecordArchive CardWindow::journaledArchive(Journal::Kind kind) const {
    RecordArchive target = archive();
    RecordArchive::Journaling journaling{m_card.journalIdentity(target.path()), Clock::now(), kind};
    addToJournaling(journaling);
    // After the archive's own, so that its followers stay whatever way it set them.
    Fingerprints::install(journaling, target.path(), freshPrints());
    target.setJournaling(std::move(journaling));
    return target;
}

void CardWindow::buildFields() {
    QWidget* panel = panContainer();
    const QFont fieldFont = uiFont(QStringLiteral("Verdana"), 12, true);
    const QFont captionFont = uiFont(QStringLiteral("Verdana"), 12);
    m_fields.clear();
    for (const CardField& row : m_card.fields) {
        auto* edit = named(new QLineEdit(panel), row.control);
        edit->setFont(fieldFont);
        edit->setGeometry(row.x, row.y, row.width, kFieldHeight);
        edit->setMaxLength(m_card.layout->field(row.field).capacity);
        if (row.flags & CardField::Centred)
            edit->setAlignment(Qt::AlignCenter);
        if (!(row.flags & CardField::NoFocusLook)) {
            if (m_card.focusLook == FocusLook::Halo)
                FocusHalo::attach(edit);
            else
                FieldColouring::attach(edit);
        }
        m_fields.push_back(edit);

        QLabel* caption =
            addLabel(panel, row.captionName, QString::fromUtf8(row.caption), 0, 0, captionFont);
        if (row.captionLeft)
            caption->move(row.x - 6 - caption->width(),
                          row.y + (kFieldHeight - caption->height()) / 2);
        else
            caption->move(row.x, row.y - 18);
    }

    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const CardField& row = m_card.fields[i];
        QLineEdit* edit = m_fields[i];
        if (i > 0)
            setTabOrder(m_fields[i - 1], edit);
        if (row.hint)
            hints()->setHint(edit, QString::fromUtf8(row.hint));
        switch (row.enter.kind) {
        case EnterKey::Nothing:
            KeyRules::enterMovesTo(edit, nullptr);
            break;
        case EnterKey::MovesTo:
            KeyRules::enterMovesTo(edit, field(row.enter.target));
            break;
        case EnterKey::OpensCalendar:
            break; // the date field takes Enter as any other key
        }
        if (row.dateTag) {
            connect(DateField::attach(edit), &DateField::importRequested, this,
                    [this, edit, tag = QString::fromLatin1(row.dateTag)] {
                        if (const auto date = TfrmCalendario::importFor(this, tag))
                            edit->setText(*date);
                    });
        }
    }
}

QLineEdit* CardWindow::field(const char* control) const {
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (qstrcmp(m_card.fields[i].control, control) == 0)
            return m_fields[i];
    }
    qFatal("no field %s in the card's table", control);
    return nullptr;
}

void CardWindow::addAttachmentStrip(const AttachmentStrip& strip) {
    QLineEdit* name = nullptr;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_card.fields[i].flags & CardField::Attachment)
            name = m_fields[i];
    }
    if (!name)
        qFatal("the card's table has no attachment field");
    QWidget* panel = panContainer();
    ImageButton* clear =
        addTool(strip.clearName, artwork("cancella"), strip.clear,
                QStringLiteral("Cancella il percorso del file allegato alla scheda corrente."));
    QPushButton* browse =
        addButton(panel, QStringLiteral("btnSfoglia"), QStringLiteral("Sfoglia..."), strip.browse);
    QPushButton* open =
        addButton(panel, QStringLiteral("btnApri"), QStringLiteral("Apri"), strip.open);
    hints()->setHint(browse, QStringLiteral("Seleziona il file da allegare alla scheda corrente."));
    hints()->setHint(open, QStringLiteral("Apri il file allegato alla scheda corrente."));
    // The fingerprint on the caption's line, right-aligned over the field's end.
    QLabel* print = addLabel(panel, "lblImpronta", QString(), 0, 0,
                             uiFont(QStringLiteral("Verdana"), 9), QColor(0x33, 0x44, 0x66));
    print->setGeometry(name->x() + 260, name->y() - 18, name->width() - 260, 16);
    print->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    print->setTextInteractionFlags(Qt::TextSelectableByMouse);
    hints()->setHint(print, QStringLiteral("Impronta SHA-256 del file allegato, calcolata quando è "
                                           "stato allegato: il valore intero compare fermando il "
                                           "puntatore sull'impronta."));
    m_copyName = name;
    m_copySlot = new AttachmentSlot(name, browse, open, clear, print);
    m_copySlot->setPlace([this] { return place(); });
}

void CardWindow::showAccessError() {
    Messages::error(this, Messages::kArchiveAccessError);
}

void CardWindow::PulisciScheda() {
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (!(m_card.fields[i].flags & CardField::Kept))
            m_fields[i]->clear();
    }
    clearExtras();
    for (const AttachmentLabel& attachment : m_attachmentLabels)
        attachment.label->clear();
    lblPosizione->clear();
    m_loaded.clear();
    m_duplicate = false;
    m_furtherPrints = {};
    if (m_copySlot)
        m_copySlot->setPrint({});
    if (!m_fields.empty())
        m_fields.front()->setFocus();
}

void CardWindow::CaricaScheda(const Record& record, int position) {
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        showText(m_fields[i], record.text(m_card.fields[i].field));
    loadExtras(record);
    for (const AttachmentLabel& attachment : m_attachmentLabels)
        attachment.label->setText(record.text(attachment.field));
    lblPosizione->setText(QString::number(position));
    m_loaded = record.bytes();
    m_duplicate = false;
    loadPrints(position);
}

Record CardWindow::cardRecord() const {
    Record record(*m_card.layout);
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        record.setText(m_card.fields[i].field, m_fields[i]->text());
    fillExtras(record);
    for (const AttachmentLabel& attachment : m_attachmentLabels)
        record.setText(attachment.field, attachment.label->text());
    return record;
}

bool CardWindow::checkRequired() {
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const CardField& row = m_card.fields[i];
        if (row.required && TextField::trimBlanks(m_fields[i]->text()).isEmpty()) {
            Messages::warning(this, QString::fromUtf8(row.required));
            // A date field opens the calendar only on a key, not on the focus.
            m_fields[i]->setFocus();
            return false;
        }
    }
    return checkExtras();
}

void CardWindow::saveCard() {
    if (!maySave() || !checkRequired())
        return;
    const Record record = cardRecord();
    std::optional<int> position;
    if (!shownPosition(position)) {
        showAccessError();
        return;
    }
    const RecordArchive target =
        journaledArchive(m_duplicate ? Journal::Kind::Duplicate : Journal::Kind::New);
    if (position) {
        std::optional<Record> stored;
        const auto rewrite = m_loaded.isEmpty()
                                 ? target.rewrite(*position, record)
                                 : target.update(*position, record, m_loaded, stored);
        switch (rewrite) {
        case RecordArchive::Rewrite::Failed:
            showAccessError();
            return;
        case RecordArchive::Rewrite::Refused:
            saveRefused(*position);
            return;
        case RecordArchive::Rewrite::ChangedMeanwhile:
            if (Messages::warningAccepted(this, kChangedElsewhere))
                reloadWithTyping(*stored, *position);
            return;
        case RecordArchive::Rewrite::Written:
            break;
        }
        lblPosizione->setText(QString::number(*position));
        m_loaded = record.bytes();
        m_printCache = {};
        Messages::information(this, kUpdated);
        return;
    }
    Record written(*m_card.layout);
    const auto appended = target.append(record, settleNewCard(), &written);
    if (!appended) {
        showAccessError();
        return;
    }
    lblPosizione->setText(QString::number(*appended));
    m_loaded = written.bytes();
    m_printCache = {};
    m_duplicate = false;
    const QString notice = newCardAppended();
    Messages::information(this, kInserted);
    if (!notice.isEmpty())
        Messages::notice(this, notice);
}

void CardWindow::reloadWithTyping(const Record& stored, int position) {
    const Record shown(*m_card.layout, m_loaded);
    const Record typed = cardRecord();
    const QList<Fingerprints::Shown> fresh = freshPrints();
    Record merged = stored;
    QStringList both;
    for (int f = 0; f < m_card.layout->fieldCount(); ++f) {
        const QString mine = typed.text(f);
        if (mine == shown.text(f))
            continue;
        merged.setText(f, mine);
        const QString theirs = stored.text(f);
        if (theirs != shown.text(f) && theirs != mine)
            both << fieldCaption(f) + u' ' + theirs;
    }
    CaricaScheda(merged, position);
    // What the next save must find stored is the other copy's card.
    m_loaded = stored.bytes();
    // Files attached here and kept by the merge keep their fingerprints for that save.
    for (const Fingerprints::Shown& print : fresh) {
        if (print.field == Fingerprints::kFields[0] && m_copyName->text() == print.name) {
            m_copySlot->setPrint({print.sha256, true});
            continue;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            if (print.field == Fingerprints::kFields[i + 1] &&
                m_attachmentLabels[i].label->text() == print.name)
                m_furtherPrints[i] = {print.sha256, true};
        }
    }
    if (!both.isEmpty())
        Messages::warning(this, kBothChanged.arg(both.join(QStringLiteral("\r\n"))));
}

QString CardWindow::fieldCaption(int field) const {
    for (const CardField& row : m_card.fields) {
        if (row.field == field)
            return QString::fromUtf8(row.caption);
    }
    for (std::size_t i = 0; i < m_attachmentLabels.size(); ++i) {
        if (m_attachmentLabels[i].field == field)
            return i < 3 ? TfrmAllegaCartella::fileCaption(int(i) + 1)
                         : TfrmAllegaCartella::descriptionCaption(int(i) - 2);
    }
    const QString own = ownFieldCaption(field);
    if (!own.isEmpty())
        return own;
    return QString::fromLatin1(m_card.layout->field(field).name) + u':';
}

void CardWindow::openHistory() {
    std::optional<int> position;
    if (!shownPosition(position)) {
        showAccessError();
        return;
    }
    if (!position) {
        Messages::warning(this, kHistoryOfNewCard);
        return;
    }
    const QString path = TextField::trimBlanks(archivePath());
    const RecordLayout* layout = m_card.layout;
    // A journal entry names its field by the record's name; an entry that names none (an
    // annulment's reason, say) shows that name.
    TfrmCronologia window(this, {path, layout, *position, m_card.journalIdentity(path),
                                 [this, layout](const QString& name) {
                                     const int field = layout->indexOf(name);
                                     return field < 0 ? name : fieldCaption(field);
                                 }});
    window.exec();
}

FurtherAttachments CardWindow::shownAttachments() const {
    FurtherAttachments shown;
    for (std::size_t i = 0; i < 3; ++i) {
        shown.files[i] = m_attachmentLabels[i].label->text();
        shown.descriptions[i] = m_attachmentLabels[i + 3].label->text();
    }
    shown.prints = m_furtherPrints;
    return shown;
}

CardPlace CardWindow::place() const {
    std::optional<int> position;
    if (!shownPosition(position))
        position.reset();
    return {archive().path(), position};
}

void CardWindow::loadPrints(int position) {
    m_furtherPrints = {};
    if (m_copySlot)
        m_copySlot->setPrint({});
    const QString archivePath = archive().path();
    if (archivePath.isEmpty())
        return;
    const QString path = Fingerprints::pathFor(archivePath);
    const QFileInfo info(path);
    if (path != m_printCache.path || info.size() != m_printCache.size ||
        info.lastModified() != m_printCache.modified) {
        m_printCache = {path, info.size(), info.lastModified(), Fingerprints::read(path)};
        if (m_printCache.reading.isDamaged())
            Messages::warning(this, AttachmentSlot::damagedText(info.fileName()));
    }
    const Fingerprints::Reading& reading = m_printCache.reading;
    if (m_copySlot)
        m_copySlot->setPrint(
            {reading.find(position, Fingerprints::kFields[0], m_copyName->text())});
    for (std::size_t i = 0; i < 3; ++i)
        m_furtherPrints[i] = {reading.find(position, Fingerprints::kFields[i + 1],
                                           m_attachmentLabels[i].label->text())};
}

QList<Fingerprints::Shown> CardWindow::freshPrints() const {
    QList<Fingerprints::Shown> fresh;
    if (m_copySlot && m_copySlot->print().fresh)
        fresh.append({Fingerprints::kFields[0], m_copyName->text(), m_copySlot->print().sha256});
    for (std::size_t i = 0; i < 3; ++i) {
        if (m_furtherPrints[i].fresh)
            fresh.append({Fingerprints::kFields[i + 1], m_attachmentLabels[i].label->text(),
                          m_furtherPrints[i].sha256});
    }
    return fresh;
}

QList<Fingerprints::Shown> CardWindow::attachedFiles() const {
    QList<Fingerprints::Shown> files;
    const auto add = [&](const QString& field, const QString& name, const QByteArray& sha256) {
        if (!TextField::trimBlanks(name).isEmpty())
            files.append({field, TextField::trimBlanks(name), sha256});
    };
    if (m_copySlot)
        add(Fingerprints::kFields[0], m_copyName->text(), m_copySlot->print().sha256);
    for (std::size_t i = 0; i < 3; ++i)
        add(Fingerprints::kFields[i + 1], m_attachmentLabels[i].label->text(),
            m_furtherPrints[i].sha256);
    return files;
}

void CardWindow::openFurtherAttachments() {
    const auto applied =
        TfrmAllegaCartella::openFor(this, m_card.archiveTag, shownAttachments(), place());
    if (!applied)
        return;
    for (std::size_t i = 0; i < 3; ++i) {
        m_attachmentLabels[i].label->setText(applied->files[i]);
        m_attachmentLabels[i + 3].label->setText(applied->descriptions[i]);
    }
    m_furtherPrints = applied->prints;
}

void CardWindow::browse(BrowseCommand command) {
    std::optional<int> current;
    if (!shownPosition(current)) {
        showAccessError();
        return;
    }
    const auto result = archive().browse(command, current);
    if (!result) {
        showAccessError();
        return;
    }
    switch (result->step.kind) {
    case BrowseStep::Load:
        loadCard(*result->record, result->step.position);
        break;
    case BrowseStep::EmptyArchive:
        if (result->step.clearsPosition)
            lblPosizione->clear();
        Messages::information(this, kEmptyArchive);
        break;
    case BrowseStep::Nothing:
        break;
    }
}

void CardWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    showing();
    PulisciScheda();
}

void CardWindow::closeEvent(QCloseEvent* event) {
    closing();
    event->accept();
    emit closed();
}
