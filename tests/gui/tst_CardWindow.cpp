#include "core/DocumentRecord.h"
#include "core/RecordArchive.h"
#include "support/TestServices.h"
#include "ui/AllegaCartella.h"
#include "ui/ArchiveTag.h"
#include "ui/CardWindow.h"
#include "ui/FieldColouring.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(MessageKind)

// The card window driven by a second table, shaped as the document card index is: date
// fields with their own tags, no kept field, a check box of its own between two fields, the
// background colouring, the further attachments tagged "altri".
namespace {

enum Field {
    Documento,
    Protocollo,
    Produttore,
    DataPro,
    DataDes,
    Soggetti,
    Note,
    Copia,
    DaCompletare,
};

const RecordLayout& testLayout() {
    // clang-format off
    static const RecordLayout table{
        {"Documento", 0, 120},   {"Protocollo", 121, 30}, {"Produttore", 152, 50},
        {"DataPro", 203, 10},    {"DataDes", 214, 10},    {"Soggetti", 225, 250},
        {"Note", 476, 250},      {"Copia", 727, 250},     {"DaCompletare", 978, 2},
        {"File01", 981, 250},    {"File02", 1232, 250},   {"File03", 1483, 250},
        {"Desc01", 1734, 250},   {"Desc02", 1985, 250},   {"Desc03", 2236, 250},
    };
    // clang-format on
    return table;
}

const char* const kNoDocument =
    "Attenzione: per salvare la scheda è necessario indicare il nome del documento.";
const char* const kNoProducer = "Attenzione: per salvare la scheda è necessario indicare il nome "
                                "del produttore del documento.";
const char* const kNoDate = "Attenzione: per salvare la scheda è necessario indicare la data di "
                            "produzione del documento.";

using C = CardField;
// clang-format off
constexpr CardField kFields[] = {
    C(Documento, "txtDocumento", "lblCampo001", "Documento:", 180, 110, 500)
        .enterTo("txtProtocollo").requiredWith(kNoDocument),
    C(Protocollo, "txtProtocollo", "lblCampo002", "Protocollo n.", 700, 110, 160)
        .withFlags(C::Centred).enterTo("txtProduttore"),
    C(Produttore, "txtProduttore", "lblCampo003", "Produttore:", 180, 160, 300)
        .enterTo("txtDataPro").requiredWith(kNoProducer),
    C(DataPro, "txtDataPro", "lblCampo004", "Data produzione:", 500, 160, 130)
        .withFlags(C::Centred).date("datapro").requiredWith(kNoDate),
    C(DataDes, "txtDataDes", "lblCampo005", "Data ricezione:", 650, 160, 130)
        .withFlags(C::Centred).date("datades"),
    C(Soggetti, "txtSoggetti", "lblCampo006", "Soggetti citati nel documento:", 30, 220, 500)
        .enterTo("txtNote"),
    C(Note, "txtNote", "lblCampo007", "Note:", 80, 270, 800)
        .withCaptionLeft().enterTo("txtCopia"),
    C(Copia, "txtCopia", "lblCampo008", "Copia digitale documento:", 80, 330, 600)
        .withFlags(C::Attachment | C::NoFocusLook),
};
// clang-format on

class DocumentLikeCard : public CardWindow {
public:
    explicit DocumentLikeCard(QString path)
        : CardWindow(QStringLiteral(" Schede di prova"), QColor(0x42, 0x7A, 0xA8),
                     QStringLiteral("Pronto per archiviare una nuova scheda..."),
                     {&testLayout(), kFields, FocusLook::Colouring, ArchiveTag::Documents,
                      &DocumentRecord::journalIdentity}),
          m_path(std::move(path)) {
        addArea("shpGruppo", {16, 20, 962, 52}, Qt::white);
        addFurtherAttachmentsTool({200, 28, 148, 32});
        addBrowsingTools(538, 580, 696, 738, 26, {619, 34, 74, 22});
        addArea("shpScheda", {16, 82, 962, 484}, Qt::white);
        buildFields();
        chkDaCompletare = named(new QCheckBox(QStringLiteral("Da completare"), panContainer()),
                                "chkDaCompletare");
        chkDaCompletare->setGeometry(560, 220, 160, 22);
        setTabOrder(field("txtSoggetti"), chkDaCompletare);
        setTabOrder(chkDaCompletare, field("txtNote"));
        addAttachmentStrip(
            {"btnCancella", {690, 330, 22, 22}, {720, 326, 78, 26}, {806, 326, 78, 26}});
        addHintBar({16, 642, 962, 36}, QColor(0x30, 0x30, 0xDD));
    }

protected:
    RecordArchive archive() const override { return RecordArchive(m_path, testLayout()); }
    void clearExtras() override { chkDaCompletare->setChecked(false); }
    void loadExtras(const Record& record) override {
        const QString mark = record.text(DaCompletare);
        if (mark == QStringLiteral("Sì"))
            chkDaCompletare->setChecked(true);
        else if (mark == QStringLiteral("No"))
            chkDaCompletare->setChecked(false);
    }
    void fillExtras(Record& record) const override {
        record.setText(DaCompletare,
                       chkDaCompletare->isChecked() ? QStringLiteral("Sì") : QStringLiteral("No"));
    }

private:
    QString m_path;
    QCheckBox* chkDaCompletare;
};

struct Fixture {
    TestServices services;
    DocumentLikeCard window{services.file(QStringLiteral("Schede.pro"))};

    bool show() {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(&window, name); }
    QLabel* label(const char* name) const { return control<QLabel>(&window, name); }
    QCheckBox* toComplete() const { return control<QCheckBox>(&window, "chkDaCompletare"); }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(&window, name), Qt::LeftButton);
    }
    RecordArchive archive() const {
        return RecordArchive(services.file(QStringLiteral("Schede.pro")), testLayout());
    }
    // A record with every field filled with its own text.
    static Record full() {
        Record r(testLayout());
        for (int i = 0; i < testLayout().fieldCount(); ++i)
            r.setText(i, QStringLiteral("%1 è").arg(i));
        r.setText(DaCompletare, QStringLiteral("Sì"));
        return r;
    }
};

// The colour of `widget` drawn at `at`.
QColor colourAt(QWidget* widget, const QPoint& at) {
    return widget->grab().toImage().pixelColor(at);
}

} // namespace

class TestCardWindow : public QObject {
    Q_OBJECT
private slots:
    void fieldsFollowTheTable_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("maxLength"); // the record field's capacity
        QTest::addColumn<bool>("centred");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("document") << "txtDocumento"
                                  << "lblCampo001" << 120 << false << false;
        QTest::newRow("protocol number") << "txtProtocollo"
                                         << "lblCampo002" << 30 << true << false;
        QTest::newRow("producer") << "txtProduttore"
                                  << "lblCampo003" << 50 << false << false;
        QTest::newRow("production date") << "txtDataPro"
                                         << "lblCampo004" << 10 << true << true;
        QTest::newRow("receipt date") << "txtDataDes"
                                      << "lblCampo005" << 10 << true << true;
        QTest::newRow("subjects") << "txtSoggetti"
                                  << "lblCampo006" << 250 << false << false;
        QTest::newRow("notes") << "txtNote"
                               << "lblCampo007" << 250 << false << false;
        QTest::newRow("digital copy") << "txtCopia"
                                      << "lblCampo008" << 250 << false << true;
    }
    void fieldsFollowTheTable() {
        QFETCH(QString, control);
        QFETCH(QString, caption);
        QFETCH(int, maxLength);
        QFETCH(bool, centred);
        QFETCH(bool, readOnly);
        Fixture f;
        auto* edit = f.window.findChild<QLineEdit*>(control);
        QVERIFY(edit);
        QCOMPARE(edit->maxLength(), maxLength);
        QCOMPARE(edit->alignment().testFlag(Qt::AlignHCenter), centred);
        QCOMPARE(edit->isReadOnly(), readOnly);
        QCOMPARE(edit->height(), 22);
        auto* label = f.window.findChild<QLabel*>(caption);
        QVERIFY(label);
        if (control == QLatin1String("txtNote")) {
            QCOMPARE(label->geometry().right() + 1, edit->x() - 6);
            QCOMPARE(label->geometry().center().y(), edit->geometry().center().y());
        } else {
            QCOMPARE(label->pos(), edit->pos() - QPoint(0, 18));
        }
    }

    void emptyCardEmptiesEverything() {
        Fixture f;
        QVERIFY(f.show());
        f.window.CaricaScheda(Fixture::full(), 4);
        QVERIFY(f.toComplete()->isChecked());
        f.window.PulisciScheda();
        for (const CardField& row : kFields)
            QVERIFY2(f.edit(row.control)->text().isEmpty(), row.control);
        for (const char* name :
             {"lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03"})
            QVERIFY2(f.label(name)->text().isEmpty(), name);
        QVERIFY(!f.toComplete()->isChecked());
        QVERIFY(f.label("lblPosizione")->text().isEmpty());
        QVERIFY(!control<QPushButton>(&f.window, "btnApri")->isEnabled());
        QTRY_VERIFY(f.edit("txtDocumento")->hasFocus());
    }

    void loadRuleAndUpdate() {
        Fixture f;
        QVERIFY(f.archive().append(Fixture::full()));
        QVERIFY(f.show());
        f.window.CaricaScheda(Fixture::full(), 1);
        for (const CardField& row : kFields)
            QCOMPARE(f.edit(row.control)->text(), QStringLiteral("%1 è").arg(row.field));
        QCOMPARE(f.label("lblDesc02")->text(), QStringLiteral("13 è"));
        QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("1"));
        QVERIFY(control<QPushButton>(&f.window, "btnApri")->isEnabled());

        // Saved, the card rewrites its record whole, the mark as the check box says.
        f.toComplete()->setChecked(false);
        f.window.saveCard();
        QCOMPARE(f.services.lastMessage().text, CardWindow::kUpdated);
        QCOMPARE(f.archive().count(), std::optional<int>(1));
        Record expected = Fixture::full();
        expected.setText(DaCompletare, QStringLiteral("No"));
        QCOMPARE(f.archive().read(1)->bytes(), expected.bytes());
    }

    void requiredChecksInTheirOrder_data() {
        QTest::addColumn<QStringList>("filled");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all blank")
            << QStringList{} << QString::fromUtf8(kNoDocument) << "txtDocumento";
        QTest::newRow("producer and date blank")
            << QStringList{"txtDocumento"} << QString::fromUtf8(kNoProducer) << "txtProduttore";
        QTest::newRow("date blank") << QStringList{"txtDocumento", "txtProduttore"}
                                    << QString::fromUtf8(kNoDate) << "txtDataPro";
    }
    void requiredChecksInTheirOrder() {
        QFETCH(QStringList, filled);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Fixture f;
        QVERIFY(f.show());
        for (const QString& name : filled)
            f.window.findChild<QLineEdit*>(name)->setText(QStringLiteral("Testo"));
        f.edit("txtDataDes")->setText(QStringLiteral("01/02/2026")); // not required
        f.window.saveCard();
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text, message);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(!QFile::exists(f.archive().path()));
    }

    void savingAppendsThenRewrites() {
        Fixture f;
        QVERIFY(f.show());
        f.edit("txtDocumento")->setText(QStringLiteral("Contratto di locazione "));
        f.edit("txtProduttore")->setText(QStringLiteral("Studio Rossi"));
        f.edit("txtDataPro")->setText(QStringLiteral("05/03/2026"));
        f.toComplete()->setChecked(true);
        f.label("lblFile01")->setText(QStringLiteral("planimetria.pdf"));
        f.window.saveCard();
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Information);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("La scheda corrente è stata inserita in archivio."));
        QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("1"));
        auto stored = f.archive().read(1);
        QVERIFY(stored);
        QCOMPARE(stored->text(Documento), QStringLiteral("Contratto di locazione"));
        QCOMPARE(stored->bytes().mid(testLayout().field(DaCompletare).offset, 3),
                 QByteArray("\x02S\xEC"));
        QCOMPARE(stored->text(testLayout().indexOf(QStringLiteral("File01"))),
                 QStringLiteral("planimetria.pdf"));

        f.toComplete()->setChecked(false);
        f.window.saveCard();
        QCOMPARE(f.services.messages.size(), 2);
        QCOMPARE(f.services.messages[1].kind, MessageKind::Information);
        QCOMPARE(
            f.services.messages[1].text,
            QStringLiteral(
                "Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
        QCOMPARE(f.archive().count(), std::optional<int>(1));
        stored = f.archive().read(1);
        QCOMPARE(stored->bytes().mid(testLayout().field(DaCompletare).offset, 3),
                 QByteArray("\x02No"));
    }

    void dateFieldsTakeTheCalendarDate_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("key");
        QTest::newRow("production, a letter") << "txtDataPro"
                                              << "txtDataDes"
                                              << "datapro" << int(Qt::Key_X);
        QTest::newRow("production, Enter") << "txtDataPro"
                                           << "txtDataDes"
                                           << "datapro" << int(Qt::Key_Return);
        QTest::newRow("receipt, a digit") << "txtDataDes"
                                          << "txtDataPro"
                                          << "datades" << int(Qt::Key_1);
    }
    void dateFieldsTakeTheCalendarDate() {
        QFETCH(QString, field);
        QFETCH(QString, other);
        QFETCH(QString, tag);
        QFETCH(int, key);
        Fixture f;
        QVERIFY(f.show());
        auto* date = f.window.findChild<QLineEdit*>(field);
        auto* otherDate = f.window.findChild<QLineEdit*>(other);
        date->setText(QStringLiteral("01/01/2020"));
        otherDate->setText(QStringLiteral("02/02/2022"));
        date->setFocus();
        QString shownTag;
        ANSWER_MODAL(pressing(date, Qt::Key(key)), [&](QDialog* dialog) {
            shownTag = dialog->findChild<QLabel*>(QStringLiteral("lblMemory"))->text();
            dialog->findChild<QCalendarWidget*>()->setSelectedDate(QDate(2021, 3, 5));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnAnnulla")),
                              Qt::LeftButton);
        });
        QCOMPARE(shownTag, tag);
        QCOMPARE(date->text(), QStringLiteral("01/01/2020"));

        ANSWER_MODAL(pressing(date, Qt::Key(key)), [&](QDialog* dialog) {
            dialog->findChild<QCalendarWidget*>()->setSelectedDate(QDate(2021, 3, 5));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnImportaData")),
                              Qt::LeftButton);
        });
        QCOMPARE(date->text(), QStringLiteral("05/03/2021"));
        QCOMPARE(otherDate->text(), QStringLiteral("02/02/2022"));
        QVERIFY(!QApplication::activeModalWidget());
        QTest::keyClick(date, Qt::Key_Delete);
        QVERIFY(date->text().isEmpty());
    }

    void enterAndTabFollowTheTable() {
        Fixture f;
        QVERIFY(f.show());
        const auto enterFrom = [&](const char* name) {
            f.edit(name)->setFocus();
            QTest::keyClick(f.edit(name), Qt::Key_Return);
            return QApplication::focusWidget()->objectName();
        };
        QCOMPARE(enterFrom("txtDocumento"), QStringLiteral("txtProtocollo"));
        QCOMPARE(enterFrom("txtProduttore"), QStringLiteral("txtDataPro"));
        QCOMPARE(enterFrom("txtSoggetti"), QStringLiteral("txtNote")); // past the check box
        QCOMPARE(enterFrom("txtCopia"), QStringLiteral("txtCopia"));

        // Tab goes the table's way, with the archive's check box where it put it.
        const char* tabs[] = {"txtDocumento",    "txtProtocollo", "txtProduttore",
                              "txtDataPro",      "txtDataDes",    "txtSoggetti",
                              "chkDaCompletare", "txtNote",       "txtCopia"};
        f.edit("txtDocumento")->setFocus();
        for (std::size_t i = 1; i < std::size(tabs); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(tabs[i]));
        }
    }

    void furtherAttachmentsOfTheDocuments() {
        Fixture f;
        f.label("lblFile02")->setText(QStringLiteral("  verbale.pdf "));
        f.label("lblDesc03")->setText(QStringLiteral("Lettera"));
        QString tag, file2, desc3;
        ANSWER_MODAL(
            [&] { f.click("cmdFile"); },
            [&](QDialog* dialog) {
                auto* w = qobject_cast<TfrmAllegaCartella*>(dialog);
                if (!w) {
                    dialog->reject();
                    return;
                }
                tag = control<QLabel>(w, "lblMemory")->text();
                file2 = control<QLineEdit>(w, "txtFile02")->text();
                desc3 = control<QLineEdit>(w, "txtDesc03")->text();
                control<QLineEdit>(w, "txtDesc01")->setText(QStringLiteral(" Planimetria "));
                QTest::mouseClick(control<QAbstractButton>(w, "btnApplica"), Qt::LeftButton);
            });
        QCOMPARE(tag, QStringLiteral("altri"));
        QCOMPARE(file2, QStringLiteral("verbale.pdf"));
        QCOMPARE(desc3, QStringLiteral("Lettera"));
        QCOMPARE(f.label("lblDesc01")->text(), QStringLiteral("Planimetria"));
        QCOMPARE(f.label("lblFile02")->text(), QStringLiteral("verbale.pdf"));
        QCOMPARE(f.label("lblDesc03")->text(), QStringLiteral("Lettera"));
        QVERIFY(f.label("lblFile01")->text().isEmpty());
    }

    void backgroundColouring() {
        QWidget host;
        host.resize(300, 120);
        auto* coloured = named(new QLineEdit(&host), "txtColorato");
        auto* other = named(new QLineEdit(&host), "txtAltro");
        coloured->setGeometry(20, 20, 200, 22);
        other->setGeometry(20, 60, 200, 22);
        FieldColouring::attach(coloured);
        host.show();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        const QPoint inside(150, 11);
        const QPoint border(0, 11);
        QCOMPARE(colourAt(coloured, inside), QColor(0xF0, 0xF8, 0xFF));
        QCOMPARE(colourAt(coloured, border), QColor(0x87, 0xCE, 0xEB));
        QCOMPARE(colourAt(coloured, {150, 0}), QColor(0x87, 0xCE, 0xEB));
        coloured->setFocus();
        QTRY_VERIFY(coloured->hasFocus());
        QCOMPARE(colourAt(coloured, inside), QColor(0xFF, 0xFF, 0x00));
        QCOMPARE(colourAt(coloured, border), QColor(0x87, 0xCE, 0xEB));
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        QCOMPARE(colourAt(coloured, inside), QColor(0xF0, 0xF8, 0xFF));
        // The field without it keeps the platform's look.
        QVERIFY(colourAt(other, inside) != QColor(0xF0, 0xF8, 0xFF));
    }

    void theCardTakesItsFocusLook() {
        Fixture f;
        QVERIFY(f.show());
        f.edit("txtProduttore")->setFocus();
        QTRY_VERIFY(f.edit("txtProduttore")->hasFocus());
        QCOMPARE(colourAt(f.edit("txtDocumento"), {250, 11}), QColor(0xF0, 0xF8, 0xFF));
        QCOMPARE(colourAt(f.edit("txtProduttore"), {250, 11}), QColor(0xFF, 0xFF, 0x00));
        // The digital copy's name keeps its plain look; no field has a halo.
        QVERIFY(colourAt(f.edit("txtCopia"), {500, 11}) != QColor(0xF0, 0xF8, 0xFF));
        QVERIFY(!f.window.findChild<QWidget*>(QStringLiteral("effDocumento")));
    }
};

QTEST_MAIN(TestCardWindow)
#include "tst_CardWindow.moc"
