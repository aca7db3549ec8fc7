#include "Avvio.h"

#include "ui/LinkLabel.h"

#include "Info.h"
#include "Maker.h"
#include "Splash.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/TMisc.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QCloseEvent>

namespace {

constexpr int kBackupX = 292;
constexpr int kRestoreX = 612;

} // namespace

TfrmAvvio::TfrmAvvio() {
    setObjectName(QStringLiteral("frmAvvio"));
    WindowFrame::setupSizeableWindow(this, QStringLiteral(" Faldora"), {1016, 713});
    auto* backdrop = new Backdrop(this, QColor(0x67, 0x92, 0xB7), Qt::white, {995, 692});
    QWidget* panel = backdrop->panel();

    (new Shape(panel, "shpSfondo", Qt::white))->setGeometry(4, 4, 986, 684);
    auto picture = [panel](const char* name, const char* art, const QRect& at) {
        (new Picture(panel, name, artwork(art)))->setGeometry(at);
    };
    auto button = [panel](const char* name, const char* art, const QRect& at) {
        auto* b = new ImageButton(panel, name, artwork(art));
        b->setGeometry(at);
        return b;
    };
    ImageButton* imgInfo = button("imgInfo", "info", {14, 14, 30, 30});
    ImageButton* imgGuida = button("imgGuida", "guida_piccola", {952, 16, 29, 28});
    picture("icoLogo", "faldora_logo", {90, 18, 69, 70});
    picture("icoNome", "faldora_nome", {170, 28, 737, 59});
    picture("imgSottotitolo", "sottotitolo", {17, 96, 961, 22});
    ImageButton* imgDocumenti = button("imgDocumenti", "menu_documenti", {68, 148, 368, 368});
    ImageButton* imgPosta = button("imgPosta", "menu_posta", {560, 148, 368, 368});
    ImageButton* btnDocumenti = button("btnDocumenti", "btn_documenti", {30, 524, 442, 79});
    ImageButton* btnPosta = button("btnPosta", "btn_posta", {522, 524, 442, 79});
    ImageButton* imgSito = button("imgSito", "sito", {17, 628, 961, 22});
    ImageButton* imgCopyright = button("imgCopyright", "copyright", {16, 660, 23, 22});
    ImageButton* imgEsci = button("imgEsci", "esci_piccolo", {960, 662, 17, 18});

    // The archive check, in the free foot of the menu between the credits and the exit.
    auto* imgVerifica = new Picture(panel, "imgVerifica", artwork("lente"));
    imgVerifica->setGeometry(424, 661, 28, 20);
    imgVerifica->setToolTip(QStringLiteral("Controlla che registri, schedario, cronologia e "
                                           "allegati siano integri."));
    auto* lnkVerifica = new LinkLabel(panel, QStringLiteral("Verifica archivio"));
    lnkVerifica->setObjectName(QStringLiteral("lnkVerifica"));
    lnkVerifica->move(458, 662);
    lnkVerifica->setToolTip(imgVerifica->toolTip());
    lnkVerifica->addBuddy(imgVerifica);
    connect(lnkVerifica, &LinkLabel::clicked, this, &TfrmAvvio::checkRequested);

    // The backup on its left and the restore on its right, in the same style.
    const auto footLink = [panel](const char* imageName, const char* art, const char* link,
                                  const QString& text, const QString& hint, int x) {
        auto* image = new Picture(panel, imageName, artwork(art));
        image->setGeometry(x, 661, 28, 20);
        image->setToolTip(hint);
        auto* label = new LinkLabel(panel, text);
        label->setObjectName(QLatin1String(link));
        label->move(x + 34, 662);
        label->setToolTip(hint);
        label->addBuddy(image);
        return label;
    };
    LinkLabel* lnkBackup =
        footLink("imgBackup", "backup", "lnkBackup", QStringLiteral("Backup"),
                 QStringLiteral("Salva in un file zip registri, schedario, cronologia, "
                                "impostazioni, password e allegati."),
                 kBackupX);
    connect(lnkBackup, &LinkLabel::clicked, this, &TfrmAvvio::backupRequested);
    LinkLabel* lnkRipristina = footLink(
        "imgRipristina", "ripristino", "lnkRipristina", QStringLiteral("Ripristina backup"),
        QStringLiteral("Controlla un file di backup e lo rimette al posto dei file "
                       "attuali, che vengono conservati a parte."),
        kRestoreX);
    connect(lnkRipristina, &LinkLabel::clicked, this, &TfrmAvvio::restoreRequested);

    connect(imgPosta, &QAbstractButton::clicked, this, &TfrmAvvio::protocolRequested);
    connect(btnPosta, &QAbstractButton::clicked, this, &TfrmAvvio::protocolRequested);
    connect(imgDocumenti, &QAbstractButton::clicked, this, &TfrmAvvio::documentsRequested);
    connect(btnDocumenti, &QAbstractButton::clicked, this, &TfrmAvvio::documentsRequested);
    connect(imgGuida, &QAbstractButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::overview()); });
    connect(imgInfo, &QAbstractButton::clicked, this, [this] {
        TfrmInfo window(this);
        WindowFrame::centre(&window);
        window.exec();
    });
    connect(imgCopyright, &QAbstractButton::clicked, this, [this] {
        TfrmSplash window(this);
        window.exec();
    });
    connect(imgSito, &QAbstractButton::clicked, this, [] { TMisc::Open(Maker::WebAddress); });
    connect(imgEsci, &QAbstractButton::clicked, this, &TfrmAvvio::exitRequested);
}

void TfrmAvvio::closeEvent(QCloseEvent* event) {
    event->accept();
    emit exitRequested();
}
