#include "SearchWindow.h"

#include "CardTarget.h"
#include "FocusHalo.h"
#include "KeyRules.h"
#include "Messages.h"
#include "ResultList.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

namespace {
const QColor kDarkCyan(0x00, 0x8B, 0x8B);
// Searches of fewer cards end before a progress bar would be read.
constexpr int kProgressFromCards = 20000;
} // namespace

const QString SearchWindow::kArchiveSkipped =
    QStringLiteral("Impossibile leggere il registro %1: le sue schede non sono nell'elenco. Gli "
                   "altri anni sono stati cercati.");

SearchWindow::SearchWindow(QWidget* opener, CardTarget* cardWindow, Setup setup)
    : QDialog(opener), m_setup(std::move(setup)), m_cardWindow(cardWindow) {
    WindowFrame::setupFixedDialog(this, m_setup.caption, {862, 560});
    auto* backdrop = new Backdrop(this, Qt::black, Qt::white, {833, 529});
    // The backdrop's panel is the result page; the filter page lies over the same place.
    panContainer = backdrop->panel();
    panContainer->hide();
    panAvvio = named(new QWidget(backdrop), "panAvvio");
    panAvvio->setGeometry(QRect(QPoint((862 - 833) / 2, (560 - 529) / 2), QSize(833, 529)));
    buildFilterPage();
    m_results = new ResultList(
        panContainer,
        {.banner = m_setup.resultBanner,
         .printTitle = m_setup.printTitle,
         .layout = m_setup.layout,
         .line = m_setup.line,
         .countLine = true,
         .mayLoad = [this] { return TextField::trimBlanks(lblMemory->text()) == m_setup.tag; },
         .marker = m_setup.marker,
         .openArchive = m_setup.openArchive},
        m_cardWindow);
    connect(m_results, &ResultList::closeRequested, this, &QDialog::reject);
    connect(m_results, &ResultList::cardLoaded, this, &QDialog::accept);
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
    (new Picture(p, "imgCampi", m_setup.filterPicture))->setGeometry(24, 112, 97, 349);

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

    // In the free row below the last filters, inside their background.
    if (m_setup.allArchives) {
        chkTuttiGliAnni = named(new QCheckBox(m_setup.allArchivesText, p), "chkTuttiGliAnni");
        chkTuttiGliAnni->setFont(text);
        chkTuttiGliAnni->move(144, 452);
        chkTuttiGliAnni->adjustSize();
        // The hint follows the box's text on its line.
        QLabel* hint = addLabel(p, "lblTuttiGliAnni", m_setup.allArchivesHint, 0, 0,
                                uiFont(QStringLiteral("Verdana"), 11));
        hint->move(chkTuttiGliAnni->geometry().right() + 8,
                   chkTuttiGliAnni->geometry().center().y() - hint->height() / 2);
    }

    QPushButton* btnAnnulla =
        addButton(p, QStringLiteral("btnAnnulla"), QStringLiteral("Chiudi"), {8, 488, 150, 30});
    QPushButton* btnCerca =
        addButton(p, QStringLiteral("btnCerca"), QStringLiteral("Cerca"), {675, 488, 150, 30});
    lblAttendere =
        addLabel(p, "lblAttendere", QStringLiteral("Ricerca schede in corso. Attendere..."), 177,
                 494, text, kDarkCyan);
    lblAttendere->hide();
    // Beside the wait notice, between it and "Cerca", on a long search.
    prbRicerca = named(new QProgressBar(p), "prbRicerca");
    prbRicerca->setGeometry(485, 494, 180, 18);
    prbRicerca->setTextVisible(false);
    prbRicerca->hide();
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

void SearchWindow::setOpenerTag(const QString& tag) {
    lblMemory->setText(tag);
}

void SearchWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    m_results->restart();
    if (!m_filters.isEmpty())
        m_filters.first()->setFocus();
}

void SearchWindow::search() {
    QList<Search::Filter> filters;
    for (int i = 0; i < m_filters.size(); ++i)
        filters.append({m_setup.filters[i].field, m_filters[i]->text()});
    const Search::Matcher matcher(*m_setup.layout, filters);
    lblConta->setText(QString::number(matcher.required()));

    const auto progress = [this](int done, int total) {
        if (total < kProgressFromCards)
            return;
        if (prbRicerca->isHidden()) {
            prbRicerca->setRange(0, total);
            prbRicerca->show();
        }
        prbRicerca->setValue(done);
        prbRicerca->repaint();
    };
    Search::CardTest listed;
    if (matcher.required() > 0)
        listed = [&](QByteArrayView record) { return matcher.isListed(record); };
    if (chkTuttiGliAnni && chkTuttiGliAnni->isChecked()) {
        // An archive that cannot be read is told, and the others are listed all the same.
        const QStringList failed = m_results->listAll(m_setup.allArchives(), listed, progress);
        prbRicerca->hide();
        for (const QString& path : failed)
            Messages::notice(this, kArchiveSkipped.arg(QFileInfo(path).fileName()));
        showResults();
        return;
    }
    // A failed read keeps the lines found before it, on the page not shown.
    const bool read = m_results->list(listed, progress);
    prbRicerca->hide();
    if (!read) {
        Messages::notice(this, Messages::kArchiveAccessError);
        return;
    }
    showResults();
}

void SearchWindow::showResults() {
    lblAttendere->hide();
    panAvvio->hide();
    panContainer->show();
    m_results->startFinding();
}
