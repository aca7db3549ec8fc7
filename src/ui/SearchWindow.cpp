#include "SearchWindow.h"

#include "Clock.h"
#include "FocusHalo.h"
#include "KeyRules.h"
#include "Messages.h"
#include "Services.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"
#include "report/Templates.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShowEvent>
#include <QStringListModel>

namespace {

const QColor kDarkCyan(0x00, 0x8B, 0x8B);
const QColor kCrimson(0xDC, 0x14, 0x3C);

QWidget* page(QWidget* parent, const char* name) {
    auto* p = named(new QWidget(parent), name);
    p->setFixedSize(833, 529);
    p->move((862 - 833) / 2, (560 - 529) / 2);
    return p;
}

} // namespace

SearchWindow::SearchWindow(QWidget* opener, const QString& archivePath, Setup setup)
    : QDialog(opener), m_path(TextField::trimBlanks(archivePath)), m_setup(std::move(setup)),
      m_lines(new QStringListModel(this)) {
    WindowFrame::setupFixedDialog(this, m_setup.caption, {862, 560});
    auto* backdrop = new Backdrop(this, Qt::black, Qt::white, {833, 529});
    backdrop->panel()->hide();
    panAvvio = page(backdrop, "panAvvio");
    panContainer = page(backdrop, "panContainer");
    buildFilterPage();
    buildResultPage();
    panContainer->hide();
}

void SearchWindow::buildFilterPage() {
    QWidget* p = panAvvio;
    (new Shape(p, "shpSpiega", Qt::white))->setGeometry(8, 8, 817, 78);
    (new Picture(p, "imgSpiega", artwork("spiega")))->setGeometry(18, 16, 58, 55);
    const QFont text = uiFont(QStringLiteral("Verdana"), 12);
    addLabel(p, "lblRigo04",
             QStringLiteral("Immettere nei campi prescelti una o più parole consecutive presenti "
                            "nelle schede da trovare e premere il pulsante Cerca."),
             88, 18, uiFont(QStringLiteral("Verdana"), 11));
    addLabel(p, "lblRigo05", QStringLiteral("Lasciare in bianco tutti gli altri campi."), 88, 38,
             uiFont(QStringLiteral("Verdana"), 11));
    addLabel(p, "lblRigo06",
             QStringLiteral("Per ogni ricerca è possibile utilizzare uno o più campi "
                            "contemporaneamente."),
             88, 58, uiFont(QStringLiteral("Verdana"), 11));
    (new Shape(p, "shpSfondoCampi", QColor(0xBE, 0xC4, 0xCA), QColor(), Qt::white))
        ->setGeometry(8, 96, 817, 382);
    (new Shape(p, "shpCampi", Qt::white))->setGeometry(24, 112, 97, 349);
    (new Picture(p, "imgCampi", artwork("campi")))->setGeometry(24, 112, 97, 349);

    const QFont fieldFont = uiFont(QStringLiteral("Verdana"), 12, true);
    for (const FilterField& f : m_setup.filters) {
        auto* edit = named(new QLineEdit(p), f.name);
        edit->setFont(fieldFont);
        edit->setGeometry(f.x, f.y, 320, 22);
        FocusHalo::attach(edit);
        addLabel(p, "", QString::fromUtf8(f.label), f.x, f.y - 21, text)
            ->setObjectName(QStringLiteral("lbl") + QLatin1String(f.name).mid(3));
        m_filters.append(edit);
    }
    for (int i = 0; i < m_filters.size(); ++i) {
        QLineEdit* next = m_filters[(i + 1) % m_filters.size()];
        KeyRules::enterMovesTo(m_filters[i], next);
        if (i + 1 < m_filters.size())
            setTabOrder(m_filters[i], next);
    }

    btnAnnulla =
        addButton(p, QStringLiteral("btnAnnulla"), QStringLiteral("Chiudi"), {8, 488, 150, 30});
    btnCerca =
        addButton(p, QStringLiteral("btnCerca"), QStringLiteral("Cerca"), {675, 488, 150, 30});
    lblAttendere =
        addLabel(p, "lblAttendere", QStringLiteral("Ricerca schede in corso. Attendere..."), 177,
                 494, text, kDarkCyan);
    lblAttendere->hide();
    lblConta = addHiddenLabel(p, "lblConta", QStringLiteral("0"));
    lblMemory = addHiddenLabel(p, "lblMemory", QStringLiteral("lblMemory"));

    // The notice shows while the button is held, before the search starts.
    connect(btnCerca, &QPushButton::pressed, this, [this] {
        lblAttendere->show();
        lblAttendere->repaint();
    });
    connect(btnCerca, &QPushButton::clicked, this, &SearchWindow::search);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

void SearchWindow::buildResultPage() {
    QWidget* p = panContainer;
    (new Picture(p, "imgLogo", m_setup.resultBanner))->setGeometry(8, 8, 817, 53);
    const QFont text = uiFont(QStringLiteral("Verdana"), 11);
    addLabel(
        p, "lblRigo01",
        QStringLiteral("Immettere una o più parole consecutive presenti nella scheda in elenco "
                       "da cercare e premere il pulsante Trova."),
        8, 66, text, Qt::white);
    addLabel(p, "lblRigo02",
             QStringLiteral("Per spostarsi sulla voce successiva contenente la stessa chiave di "
                            "ricerca, fare di nuovo clic su Trova."),
             8, 82, text, Qt::white);
    (new Shape(p, "shpLente", Qt::white))->setGeometry(8, 104, 81, 57);
    (new Picture(p, "imgLente", artwork("lente")))->setGeometry(8, 104, 81, 57);
    (new Shape(p, "shpSfondo", Qt::black, QColor(), Qt::white))->setGeometry(96, 104, 729, 57);
    txtTrova = named(new QLineEdit(p), "txtTrova");
    txtTrova->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    txtTrova->setGeometry(112, 122, 593, 22);
    btnTrova =
        addButton(p, QStringLiteral("btnTrova"), QStringLiteral("Trova"), {710, 117, 105, 30});
    (new Shape(p, "shpLista", Qt::black, QColor(), Qt::white))->setGeometry(8, 168, 817, 313);

    lstRecords = named(new QListView(p), "lstRecords");
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
        p, "lblRigo03",
        QStringLiteral("Per richiamare i dati di una scheda, selezionarla con un doppio clic."), 16,
        456, text, kCrimson);
    btnChiudi =
        addButton(p, QStringLiteral("btnChiudi"), QStringLiteral("Chiudi"), {8, 488, 150, 30});
    lblTrovate = addLabel(p, "lblTrovate", QStringLiteral("Il presente elenco contiene 0 schede."),
                          177, 494, uiFont(QStringLiteral("Verdana"), 12), kDarkCyan);
    btnStampa =
        addButton(p, QStringLiteral("btnStampa"), QStringLiteral("Stampa"), {675, 488, 150, 30});

    KeyRules::enterMovesTo(txtTrova, btnTrova);
    connect(btnTrova, &QPushButton::clicked, this, &SearchWindow::findInList);
    connect(btnChiudi, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstRecords, &QListView::doubleClicked, this, &SearchWindow::loadSelected);
    connect(btnStampa, &QPushButton::clicked, this, &SearchWindow::printList);
}

QStringList SearchWindow::lines() const {
    return m_lines->stringList();
}

int SearchWindow::selectedLine() const {
    const QModelIndex current = lstRecords->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void SearchWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_finder.reset();
    if (m_lines->rowCount() > 0)
        lstRecords->setCurrentIndex(m_lines->index(0));
    txtTrova->clear();
    if (!m_filters.isEmpty())
        m_filters.first()->setFocus();
}

void SearchWindow::search() {
    QList<Search::Filter> filters;
    for (int i = 0; i < m_filters.size(); ++i)
        filters.append({m_setup.filters[i].field, m_filters[i]->text()});
    const int required = Search::requiredCount(filters);
    lblConta->setText(QString::number(required));

    QStringList found;
    const bool read = RecordArchive(m_path, *m_setup.layout).scan([&](int, const Record& record) {
        if (Search::isListed(record, filters, required))
            found.append(Search::resultLine(record, m_setup.line));
    });
    Search::sortForList(found);
    m_lines->setStringList(found);
    if (!read) {
        Messages::notice(this, Messages::kArchiveAccessError);
        return;
    }
    lblTrovate->setText(
        QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(found.size()));
    lblTrovate->adjustSize();
    lblAttendere->hide();
    panAvvio->hide();
    panContainer->show();
    if (!found.isEmpty())
        lstRecords->setCurrentIndex(m_lines->index(0));
    txtTrova->clear();
    txtTrova->setFocus();
}

void SearchWindow::findInList() {
    if (m_lines->rowCount() == 0) {
        Messages::notice(this, QStringLiteral("Ricerca non applicabile: la lista non contiene "
                                              "nessuna voce."));
        return;
    }
    const int at = m_finder.find(m_lines->stringList(), selectedLine(), txtTrova->text());
    lstRecords->setCurrentIndex(m_lines->index(at));
    lstRecords->scrollTo(m_lines->index(at));
}

void SearchWindow::loadSelected() {
    const int selected = selectedLine();
    if (selected >= 0 && TextField::trimBlanks(lblMemory->text()) == m_setup.tag) {
        const QString chosen = TextField::trimBlanks(m_lines->stringList().at(selected));
        // When several cards give the same line, the last of them in the file stays shown.
        std::optional<std::pair<int, QByteArray>> match;
        RecordArchive(m_path, *m_setup.layout).scan([&](int position, const Record& record) {
            if (TextField::trimBlanks(Search::resultLine(record, m_setup.line)) == chosen)
                match = std::make_pair(position, record.bytes());
        });
        if (match)
            loadCard(Record(*m_setup.layout, match->second), match->first);
    }
    accept();
}

void SearchWindow::printList() {
    Report::Template list = Templates::searchList();
    Templates::fillList(list, m_setup.printTitle, m_lines->stringList());
    Services::printer().print(this, Report::prepare(list, Clock::now()));
}
