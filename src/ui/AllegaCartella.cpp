#include "AllegaCartella.h"

#include "ArchiveTag.h"
#include "AttachmentSlot.h"
#include "Widgets.h"
#include "WindowFrame.h"
#include "core/TextField.h"

#include <QLineEdit>
#include <QPushButton>

QString TfrmAllegaCartella::fileCaption(int n) {
    return QStringLiteral("Nome %1° file allegato:").arg(n);
}

QString TfrmAllegaCartella::descriptionCaption(int n) {
    return QStringLiteral("Descrizione %1° file allegato:").arg(n);
}

TfrmAllegaCartella::TfrmAllegaCartella(QWidget* opener) : QDialog(opener) {
    setObjectName(QStringLiteral("frmAllegaCartella"));
    WindowFrame::setupFixedDialog(this, QStringLiteral(" Allega file"), {634, 534});
    auto* backdrop =
        new Backdrop(this, QColor(0xF4, 0xF4, 0xF4), QColor(0xC8, 0xC8, 0xC8), {610, 516});
    QWidget* panel = backdrop->panel();

    (new Picture(panel, "imgBanner", artwork("allega_banner")))->setGeometry(8, 4, 594, 56);
    const QFont caption = uiFont(QStringLiteral("Verdana"), 12);
    const QFont field = uiFont(QStringLiteral("Verdana"), 12, true);
    QWidget* previous = nullptr;
    for (int i = 0; i < 3; ++i) {
        const int y = 68 + i * 136;
        const QString n = QString::number(i + 1);
        const QString nn = QStringLiteral("0") + n;
        auto* frame = new Shape(panel, "", QColor(0xDC, 0xE8, 0xF5), QColor(0x9D, 0xBB, 0xDB),
                                QColor(0xB4, 0xCD, 0xE8));
        frame->setObjectName(QStringLiteral("shpSlot") + nn);
        frame->setGeometry(8, y, 594, 128);
        addLabel(panel, "", fileCaption(i + 1), 20, y + 10, caption)
            ->setObjectName(QStringLiteral("lblNome") + nn);
        txtFile[i] = new QLineEdit(panel);
        txtFile[i]->setObjectName(QStringLiteral("txtFile") + nn);
        txtFile[i]->setGeometry(20, y + 32, 370, 22);
        txtFile[i]->setFont(field);
        auto* imgCancella = new ImageButton(panel, "", artwork("cancella"));
        imgCancella->setObjectName(QStringLiteral("imgCancella") + nn);
        imgCancella->setGeometry(396, y + 32, 22, 22);
        QPushButton* btnSfoglia = addButton(panel, QStringLiteral("btnSfoglia") + nn,
                                            QStringLiteral("Sfoglia..."), {424, y + 30, 78, 26});
        QPushButton* btnApri = addButton(panel, QStringLiteral("btnApri") + nn,
                                         QStringLiteral("Apri"), {508, y + 30, 78, 26});
        addLabel(panel, "", descriptionCaption(i + 1), 20, y + 66, caption)
            ->setObjectName(QStringLiteral("lblDescrizione") + nn);
        txtDesc[i] = new QLineEdit(panel);
        txtDesc[i]->setObjectName(QStringLiteral("txtDesc") + nn);
        txtDesc[i]->setGeometry(20, y + 88, 566, 22);
        txtDesc[i]->setFont(field);
        // The fingerprint on the free right side of the name's caption line.
        auto* print = addLabel(panel, "", QString(), 230, y + 12,
                               uiFont(QStringLiteral("Verdana"), 9), QColor(0x33, 0x44, 0x66));
        print->setObjectName(QStringLiteral("lblImpronta") + nn);
        print->setGeometry(230, y + 12, 356, 16);
        print->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        print->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_slots[i] = new AttachmentSlot(txtFile[i], btnSfoglia, btnApri, imgCancella, print);
        m_slots[i]->setPlace([this] { return m_place; });
        for (QWidget* w : {static_cast<QWidget*>(txtFile[i]), static_cast<QWidget*>(btnSfoglia),
                           static_cast<QWidget*>(btnApri), static_cast<QWidget*>(txtDesc[i])}) {
            if (previous)
                setTabOrder(previous, w);
            previous = w;
        }
    }
    QPushButton* btnAnnulla = addButton(panel, QStringLiteral("btnAnnulla"),
                                        QStringLiteral("Annulla"), {8, 480, 170, 30});
    QPushButton* btnApplica = addButton(panel, QStringLiteral("btnApplica"),
                                        QStringLiteral("Applica e chiudi"), {432, 480, 170, 30});
    setTabOrder(previous, btnApplica);
    setTabOrder(btnApplica, btnAnnulla);
    lblMemory = addHiddenLabel(panel, "lblMemory");

    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::apply);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmAllegaCartella::fill(const FurtherAttachments& current) {
    for (std::size_t i = 0; i < 3; ++i) {
        showText(txtFile[i], TextField::trimBlanks(current.files[i]));
        showText(txtDesc[i], TextField::trimBlanks(current.descriptions[i]));
        m_slots[i]->setPrint(current.prints[i]);
    }
}

void TfrmAllegaCartella::apply() {
    const QString tag = TextField::trimBlanks(lblMemory->text());
    if (tag != ArchiveTag::Protocol && tag != ArchiveTag::Documents)
        return;
    FurtherAttachments chosen;
    for (std::size_t i = 0; i < 3; ++i) {
        chosen.files[i] = TextField::trimBlanks(txtFile[i]->text());
        chosen.descriptions[i] = TextField::trimBlanks(txtDesc[i]->text());
        chosen.prints[i] = m_slots[i]->print();
    }
    m_applied = chosen;
    accept();
}

std::optional<FurtherAttachments> TfrmAllegaCartella::openFor(QWidget* cardWindow,
                                                              const QString& tag,
                                                              const FurtherAttachments& current,
                                                              const CardPlace& place) {
    TfrmAllegaCartella window(cardWindow);
    window.m_place = place;
    window.lblMemory->setText(tag);
    window.fill(current);
    WindowFrame::centre(&window);
    window.exec();
    return window.applied();
}
