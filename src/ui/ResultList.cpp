#include "ResultList.h"

#include "CardTarget.h"
#include "Clock.h"
#include "KeyRules.h"
#include "Messages.h"
#include "Services.h"
#include "Widgets.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"
#include "report/Templates.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStringListModel>

namespace {
const QColor kDarkCyan(0x00, 0x8B, 0x8B);
const QColor kCrimson(0xDC, 0x14, 0x3C);
} // namespace

ResultList::ResultList(QWidget* panel, Setup setup, CardTarget* cardWindow)
    : QWidget(panel), m_setup(std::move(setup)), m_cardWindow(cardWindow),
      m_lines(new QStringListModel(this)) {
    setGeometry(0, 0, 833, 529);
    (new Picture(this, "imgLogo", m_setup.banner))->setGeometry(8, 8, 817, 53);
    const QFont text = uiFont(QStringLiteral("Verdana"), 11);
    addLabel(
        this, "lblRigo01",
        QStringLiteral("Immettere una o più parole consecutive presenti nella scheda in elenco "
                       "da cercare e premere il pulsante Trova."),
        8, 66, text, Qt::white);
    addLabel(this, "lblRigo02",
             QStringLiteral("Per spostarsi sulla voce successiva contenente la stessa chiave di "
                            "ricerca, fare di nuovo clic su Trova."),
             8, 82, text, Qt::white);
    (new Shape(this, "shpLente", Qt::white))->setGeometry(8, 104, 81, 57);
    (new Picture(this, "imgLente", artwork("lente")))->setGeometry(8, 104, 81, 57);
    (new Shape(this, "shpSfondo", Qt::black, QColor(), Qt::white))->setGeometry(96, 104, 729, 57);
    txtTrova = named(new QLineEdit(this), "txtTrova");
    txtTrova->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    txtTrova->setGeometry(112, 122, 593, 22);
    QPushButton* btnTrova =
        addButton(this, QStringLiteral("btnTrova"), QStringLiteral("Trova"), {710, 117, 105, 30});
    (new Shape(this, "shpLista", Qt::black, QColor(), Qt::white))->setGeometry(8, 168, 817, 313);

    // One model over the sorted lines, items of one height: 100,000 lines stay quick.
    lstRecords = named(new QListView(this), "lstRecords");
    lstRecords->setGeometry(16, 176, 801, 273);
    lstRecords->setModel(m_lines);
    lstRecords->setUniformItemSizes(true);
    lstRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstRecords->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lstRecords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    courier.setPixelSize(12);
    lstRecords->setFont(courier);

    addLabel(
        this, "lblRigo03",
        QStringLiteral("Per richiamare i dati di una scheda, selezionarla con un doppio clic."), 16,
        456, text, kCrimson);
    QPushButton* btnChiudi =
        addButton(this, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), {8, 488, 150, 30});
    if (m_setup.countLine)
        lblTrovate =
            addLabel(this, "lblTrovate", QStringLiteral("Il presente elenco contiene 0 schede."),
                     177, 494, uiFont(QStringLiteral("Verdana"), 12), kDarkCyan);
    QPushButton* btnStampa =
        addButton(this, QStringLiteral("btnStampa"), QStringLiteral("Stampa"), {675, 488, 150, 30});

    for (qsizetype i = 1; i < m_setup.tabOrder.size(); ++i)
        setTabOrder(findChild<QWidget*>(QLatin1String(m_setup.tabOrder[i - 1])),
                    findChild<QWidget*>(QLatin1String(m_setup.tabOrder[i])));

    KeyRules::enterMovesTo(txtTrova, btnTrova);
    connect(btnTrova, &QPushButton::clicked, this, &ResultList::findInList);
    connect(btnChiudi, &QPushButton::clicked, this, &ResultList::closeRequested);
    connect(lstRecords, &QListView::doubleClicked, this, &ResultList::loadSelected);
    connect(btnStampa, &QPushButton::clicked, this, &ResultList::printList);
}

void ResultList::setLines(QStringList lines) {
    Search::sortForList(lines);
    m_lines->setStringList(lines);
    if (lblTrovate) {
        lblTrovate->setText(
            QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(lines.size()));
        lblTrovate->adjustSize();
    }
    m_finder.reset();
    selectFirst();
}

QStringList ResultList::lines() const {
    return m_lines->stringList();
}

int ResultList::selectedLine() const {
    const QModelIndex current = lstRecords->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ResultList::restart() {
    m_finder.reset();
    selectFirst();
    txtTrova->clear();
}

void ResultList::startFinding() {
    txtTrova->clear();
    txtTrova->setFocus();
}

void ResultList::selectFirst() {
    if (m_lines->rowCount() > 0)
        lstRecords->setCurrentIndex(m_lines->index(0));
}

void ResultList::findInList() {
    if (m_lines->rowCount() == 0) {
        Messages::notice(window(), QStringLiteral("Ricerca non applicabile: la lista non contiene "
                                                  "nessuna voce."));
        return;
    }
    const int at = m_finder.find(m_lines->stringList(), selectedLine(), txtTrova->text());
    lstRecords->setCurrentIndex(m_lines->index(at));
    lstRecords->scrollTo(m_lines->index(at));
}

void ResultList::loadSelected() {
    const int selected = selectedLine();
    if (selected >= 0 && (!m_setup.mayLoad || m_setup.mayLoad())) {
        const QString chosen = TextField::trimBlanks(m_lines->index(selected).data().toString());
        // Every card whose line is the chosen one is loaded in file order, so of several the
        // last stays shown. A failed read keeps what was loaded before it.
        const RecordArchive archive(TextField::trimBlanks(m_cardWindow->archivePath()),
                                    *m_setup.layout);
        archive.scan([&](int position, const Record& record) {
            if (TextField::trimBlanks(Search::resultLine(record, m_setup.line)) == chosen)
                m_cardWindow->loadCard(record, position);
        });
    }
    emit cardLoaded();
}

void ResultList::printList() {
    Report::Template list = Templates::searchList();
    Templates::fillList(list, m_setup.printTitle, m_lines->stringList());
    Services::printer().print(window(), Report::prepare(list, Clock::now()));
}
