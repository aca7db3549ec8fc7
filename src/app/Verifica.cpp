#include "Verifica.h"

#include "core/AttachmentFolder.h"

#include "report/Report.h"
#include "report/Templates.h"
#include "ui/Clock.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/ProgramFolder.h"
#include "ui/Services.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

class FindingsModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setFindings(const QList<ArchiveCheck::Finding>* findings) {
        beginResetModel();
        m_findings = findings;
        endResetModel();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !m_findings ? 0 : int(m_findings->size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : 4;
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || role != Qt::DisplayRole)
            return {};
        const ArchiveCheck::Finding& f = m_findings->at(index.row());
        switch (index.column()) {
        case 0:
            return f.archive;
        case 1:
            return f.position > 0 ? QString::number(f.position) : QString();
        case 2:
            return f.card;
        default:
            return ArchiveCheck::describe(f);
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        static const char* const titles[] = {"Archivio", "Pos.", "Scheda", "Problema"};
        return QString::fromUtf8(titles[section]);
    }

private:
    const QList<ArchiveCheck::Finding>* m_findings = nullptr;
};

TfrmVerifica::TfrmVerifica(QWidget* opener) : QDialog(opener) {
    setObjectName(QStringLiteral("frmVerifica"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Verifica archivio"), {760, 600});
    auto* backdrop = new Backdrop(this, Qt::white, QColor(0xBF, 0xD8, 0xEF), {732, 572});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSfondo", Qt::white, QColor(0xF5, 0xDE, 0xB3)))
        ->setGeometry(8, 8, 716, 72);
    (new Picture(panel, "imgLogo", artwork("faldora_logo")))->setGeometry(22, 18, 52, 52);
    auto* title = named(new QLabel(QStringLiteral("Verifica archivio"), panel), "lblTitolo");
    title->setFont(uiFont(QStringLiteral("Arial"), 16, true));
    title->setStyleSheet(QStringLiteral("color: crimson"));
    title->setGeometry(90, 16, 620, 22);
    auto* about = named(new QLabel(panel), "lblSpiegazione");
    about->setWordWrap(true);
    about->setFont(uiFont(QStringLiteral("Verdana"), 11));
    about->setGeometry(90, 38, 626, 38);
    about->setText(QStringLiteral(
        "Controlla i registri del protocollo, lo schedario documenti, la cronologia delle "
        "modifiche, le impronte e i file allegati. Legge soltanto: non modifica nulla."));

    prbVerifica = named(new QProgressBar(panel), "prbVerifica");
    prbVerifica->setGeometry(8, 94, 588, 24);
    prbVerifica->setRange(0, 1000);
    btnAnnulla = addButton(panel, QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"),
                           {604, 88, 120, 36});
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmVerifica::cancel);
    lblEsito = named(new QLabel(panel), "lblEsito");
    lblEsito->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    lblEsito->setGeometry(8, 88, 716, 36);
    lblEsito->setWordWrap(true);
    lblEsito->hide();

    m_model = new FindingsModel(this);
    tblRisultati = named(new QTableView(panel), "tblRisultati");
    tblRisultati->setGeometry(8, 132, 716, 376);
    tblRisultati->setModel(m_model);
    tblRisultati->setFont(uiFont(QStringLiteral("Verdana"), 11));
    tblRisultati->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblRisultati->setSelectionMode(QAbstractItemView::SingleSelection);
    tblRisultati->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblRisultati->setWordWrap(true);
    tblRisultati->verticalHeader()->hide();
    tblRisultati->horizontalHeader()->setStretchLastSection(true);
    tblRisultati->setColumnWidth(0, 170);
    tblRisultati->setColumnWidth(1, 50);
    tblRisultati->setColumnWidth(2, 90);
    tblRisultati->setToolTip(QStringLiteral("Doppio clic su una riga per aprire la scheda."));
    connect(tblRisultati, &QTableView::doubleClicked, this, &TfrmVerifica::open);

    QPushButton* btnGuida =
        addButton(panel, QStringLiteral("btnGuida"), QStringLiteral("Guida"), {8, 522, 130, 38});
    connect(btnGuida, &QPushButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::archiveCheck()); });
    btnStampa = addButton(panel, QStringLiteral("btnStampa"), QStringLiteral("Stampa"),
                          {450, 522, 130, 38});
    btnStampa->setEnabled(false);
    connect(btnStampa, &QPushButton::clicked, this, &TfrmVerifica::print);
    QPushButton* btnChiudi = addButton(panel, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"),
                                       {594, 522, 130, 38});
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmVerifica::reject);
}

TfrmVerifica::~TfrmVerifica() = default;

void TfrmVerifica::start() {
    if (m_started)
        return;
    m_started = true;
    // In this thread, giving the window its turn after each block of cards: the progress bar
    // moves and "Annulla" is heard. (A thread of its own kept the Windows program from ending
    // under Wine.)
    m_control.tick = [this] {
        showProgress();
        QCoreApplication::processEvents();
    };
    QTimer::singleShot(0, this, [this] {
        m_result = ArchiveCheck::run(ProgramFolder::path(), m_control);
        finished();
        if (m_closeWhenDone)
            QDialog::reject();
    });
}

bool TfrmVerifica::running() const {
    return m_started && !m_finished;
}

void TfrmVerifica::showProgress() {
    const qint64 total = m_control.total;
    if (total > 0)
        prbVerifica->setValue(int(std::min<qint64>(1000, m_control.done * 1000 / total)));
}

void TfrmVerifica::finished() {
    m_finished = true;
    prbVerifica->hide();
    btnAnnulla->hide();
    const qsizetype found = m_result.findings.size();
    QString outcome = summary();
    if (found > 0)
        outcome += found == 1 ? QStringLiteral(" Doppio clic sulla riga per aprire la scheda.")
                              : QStringLiteral(" Doppio clic su una riga per aprire la scheda.");
    lblEsito->setText(outcome);
    lblEsito->setStyleSheet(found == 0 && !m_result.cancelled ? QStringLiteral("color: darkgreen")
                                                              : QStringLiteral("color: crimson"));
    lblEsito->show();
    m_model->setFindings(&m_result.findings);
    tblRisultati->resizeRowsToContents();
    btnStampa->setEnabled(true);
}

QString TfrmVerifica::summary() const {
    const qsizetype found = m_result.findings.size();
    if (m_result.cancelled)
        return QStringLiteral("Verifica interrotta: sono elencati i problemi trovati fin lì.");
    if (found == 0)
        return QStringLiteral("Nessun problema trovato: l'archivio è in ordine.");
    return found == 1 ? QStringLiteral("Trovato 1 problema.")
                      : QStringLiteral("Trovati %1 problemi.").arg(found);
}

void TfrmVerifica::cancel() {
    m_control.cancel = true;
}

void TfrmVerifica::reject() {
    if (running()) {
        // The check stops first, and the window closes once it has.
        cancel();
        m_closeWhenDone = true;
        return;
    }
    QDialog::reject();
}

void TfrmVerifica::open(const QModelIndex& index) {
    if (!index.isValid())
        return;
    const ArchiveCheck::Finding& f = m_result.findings.at(index.row());
    if (f.position < 1)
        return;
    m_chosen = f;
    accept();
}

void TfrmVerifica::print() {
    QStringList lines;
    const QDateTime now = Clock::now();
    lines << QStringLiteral("Verifica eseguita il %1 alle %2")
                 .arg(now.toString(QStringLiteral("dd/MM/yyyy")),
                      now.toString(QStringLiteral("hh:mm")));
    const QStringList archives = ArchiveCheck::archivesIn(Services::folder().programFolder());
    lines << QStringLiteral("Archivi verificati: %1, %2")
                 .arg(archives.isEmpty() ? QStringLiteral("nessuno")
                                         : archives.join(QStringLiteral(", ")),
                      AttachmentFolder::Name);
    lines << summary() << QString();
    for (const ArchiveCheck::Finding& f : m_result.findings) {
        QString where = f.archive;
        if (f.position > 0)
            where += QStringLiteral(", posizione %1").arg(f.position);
        if (!f.card.isEmpty())
            where += QStringLiteral(", scheda %1").arg(f.card);
        lines << where + QStringLiteral(": ") + ArchiveCheck::describe(f);
    }
    Report::Template list = Templates::searchList();
    Templates::fillList(list, QStringLiteral("Verifica archivio"), lines);
    Services::printer().print(this, Report::prepare(list, now));
}
