#include "Operazione.h"

#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

TfrmOperazione::TfrmOperazione(QWidget* opener, const char* name, const QString& title,
                               const QString& explanation)
    : QDialog(opener) {
    setObjectName(QLatin1String(name));
    WindowFrame::setupFixedDialog(this, u' ' + title, {600, 200});
    auto* backdrop = new Backdrop(this, Qt::white, QColor(0xBF, 0xD8, 0xEF), {572, 172});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSfondo", Qt::white, QColor(0xF5, 0xDE, 0xB3)))
        ->setGeometry(8, 8, 556, 88);
    (new Picture(panel, "imgLogo", artwork("faldora_logo")))->setGeometry(22, 18, 52, 52);
    auto* lblTitolo = named(new QLabel(title, panel), "lblTitolo");
    lblTitolo->setFont(uiFont(QStringLiteral("Arial"), 16, true));
    lblTitolo->setStyleSheet(QStringLiteral("color: crimson"));
    lblTitolo->setGeometry(90, 16, 466, 22);
    auto* lblSpiegazione = named(new QLabel(explanation, panel), "lblSpiegazione");
    lblSpiegazione->setWordWrap(true);
    lblSpiegazione->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblSpiegazione->setFont(uiFont(QStringLiteral("Verdana"), 11));
    lblSpiegazione->setGeometry(90, 40, 466, 52);

    prbAvanzamento = named(new QProgressBar(panel), "prbAvanzamento");
    prbAvanzamento->setGeometry(8, 122, 428, 24);
    prbAvanzamento->setRange(0, 1000);
    btnAnnulla = addButton(panel, QStringLiteral("btnAnnulla"), QStringLiteral("Annulla"),
                           {444, 116, 120, 36});
    connect(btnAnnulla, &QPushButton::clicked, this, [this] { m_control.cancel = true; });
    WindowFrame::centre(this, opener);
}

TfrmOperazione::~TfrmOperazione() = default;

void TfrmOperazione::run(const std::function<void(Backup::Control& control)>& work) {
    // In this thread, giving the window its turn now and then: the bar moves and "Annulla"
    // is heard, as in the archive check.
    QElapsedTimer sinceTurn;
    sinceTurn.start();
    m_control.tick = [this, &sinceTurn] {
        if (sinceTurn.elapsed() < 20)
            return;
        sinceTurn.restart();
        showProgress();
        QCoreApplication::processEvents();
    };
    QTimer::singleShot(0, this, [this, &work] {
        m_running = true;
        work(m_control);
        m_running = false;
        accept();
    });
    exec();
}

void TfrmOperazione::showProgress() {
    const qint64 total = m_control.total;
    if (total > 0)
        prbAvanzamento->setValue(int(std::min<qint64>(1000, m_control.done * 1000 / total)));
}

void TfrmOperazione::reject() {
    // The close box or Esc: the action stops first, and the window closes once it has.
    if (m_running) {
        m_control.cancel = true;
        return;
    }
    QDialog::reject();
}
