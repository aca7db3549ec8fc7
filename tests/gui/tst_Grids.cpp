#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/RecordLayout.h"
#include "documents/ExpAltri.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "support/TestServices.h"
#include "ui/GridWindow.h"
#include "ui/RecordGrid.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <memory>

namespace {

// Three cards in each archive, whose texts start with different letters and digits, so
// that a letter typed in a column names another card's row.
struct Fixture {
    TestServices services;
    QString registerPath = services.file(QStringLiteral("2026.prt"));

    Fixture() {
        const RecordArchive protocol(registerPath, ProtocolRecord::layout());
        const char* offices[] = {"Anagrafe", "Bilancio", "Contratti"};
        const char* subjects[] = {"Primo", "Secondo", "Terzo"};
        for (int n = 1; n <= 3; ++n) {
            ProtocolRecord r;
            r.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
            r.setText(ProtocolRecord::DataReg, QStringLiteral("0%1/03/2026").arg(n + 1));
            r.setText(ProtocolRecord::Ufficio, QString::fromUtf8(offices[n - 1]));
            r.setText(ProtocolRecord::Oggetto, QString::fromUtf8(subjects[n - 1]));
            QVERIFY(protocol.append(r));
        }
        const RecordArchive documents = DocumentArchive::in(services.folderPath());
        const char* names[] = {"Atto", "Bando", "Contratto"};
        const char* classes[] = {"A1", "B2", "C3"};
        for (int n = 0; n < 3; ++n) {
            DocumentRecord r;
            r.setText(DocumentRecord::Documento, QString::fromUtf8(names[n]));
            r.setText(DocumentRecord::Classificazione, QString::fromUtf8(classes[n]));
            QVERIFY(documents.append(r));
        }
    }

    // The grid window named `name`, shown with every card listed.
    std::unique_ptr<GridWindow> open(const QString& name) {
        std::unique_ptr<GridWindow> w;
        if (name == QLatin1String("TfrmExpProtocollo")) {
            w = std::make_unique<TfrmExpProtocollo>(nullptr, registerPath);
        } else if (name == QLatin1String("TfrmExpAltri")) {
            w = std::make_unique<TfrmExpAltri>(nullptr, services.file(DocumentArchive::FileName));
        } else {
            w = std::make_unique<TfrmRiepProtocollo>(nullptr, registerPath);
            w->show();
            list(*w, QStringLiteral("01/03/2026"), QStringLiteral("31/03/2026"));
        }
        w->show();
        return w;
    }

    static void list(GridWindow& summary, const QString& start, const QString& end) {
        control<QLineEdit>(&summary, "txtDataInizio")->setText(start);
        control<QLineEdit>(&summary, "txtDataFine")->setText(end);
        QTest::mouseClick(control<QAbstractButton>(&summary, "cmdTrova"), Qt::LeftButton);
    }

    QByteArray exported() const {
        QFile f(services.file(QStringLiteral("Protocollo.xls")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

int column(const RecordGridModel& grid, const char* name) {
    for (int c = 0; c < grid.columns().size(); ++c) {
        if (qstrcmp(grid.columns()[c].name, name) == 0)
            return c;
    }
    qFatal("no column %s", name);
}

// Whether a cell editor is open in `view`.
bool editing(const QTableView* view) {
    const auto editors = view->findChildren<QLineEdit*>();
    return std::any_of(editors.begin(), editors.end(),
                       [](const QLineEdit* e) { return e->isVisible(); });
}

// Types `text` key by key where the focus is, as a user does: the first key opens a cell's
// editor, which takes the others.
void type(const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

QStringList cells(const RecordGridModel& grid) {
    QStringList all;
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c)
            all << grid.cell(r, c);
    }
    return all;
}

} // namespace

class TestGrids : public QObject {
    Q_OBJECT
private slots:
    // Letters typed in a read-only cell go nowhere: the current cell stays on its card's row
    // (it would otherwise jump to the row whose text starts with them, and the next value
    // typed would change another card's row of the export). An editable cell still takes
    // typing, and the arrows still move.
    void typingInAReadOnlyCellStaysOnItsRow_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("readOnly");
        QTest::addColumn<QString>("typed"); // how another row's text starts
        QTest::addColumn<QString>("editable");
        for (const char* w : {"TfrmExpProtocollo", "TfrmRiepProtocollo"}) {
            QTest::addRow("%s, office of the first card", w) << w << 0 << "colUfficio"
                                                             << "Contratti"
                                                             << "colOggetto";
            QTest::addRow("%s, office of the last card", w) << w << 2 << "colUfficio"
                                                            << "Bil"
                                                            << "colNumero";
            QTest::addRow("%s, row number", w) << w << 0 << "colNum"
                                               << "3"
                                               << "colNote";
        }
        QTest::newRow("TfrmExpAltri, document of the first card")
            << "TfrmExpAltri" << 0 << "colDocumento"
            << "Contratto"
            << "colClassificazione";
        QTest::newRow("TfrmExpAltri, row number") << "TfrmExpAltri" << 1 << "colNum"
                                                  << "3"
                                                  << "colDataPro";
    }
    void typingInAReadOnlyCellStaysOnItsRow() {
        QFETCH(QString, window);
        QFETCH(int, row);
        QFETCH(QString, readOnly);
        QFETCH(QString, typed);
        QFETCH(QString, editable);
        Fixture f;
        const auto w = f.open(window);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        RecordGridModel& grid = *w->grid();
        QCOMPARE(grid.rowCount(), 3);
        auto* view = control<QTableView>(w.get(), "grdRecords");
        const QStringList before = cells(grid);
        const QModelIndex start = grid.index(row, column(grid, qPrintable(readOnly)));
        view->setFocus();
        view->setCurrentIndex(start);

        type(typed);
        QCOMPARE(view->currentIndex(), start);
        QVERIFY(!editing(view));
        QCOMPARE(QApplication::focusWidget(), view);
        QCOMPARE(cells(grid), before);

        // The arrows move along the row; an editable cell of the row takes the typing.
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(view->currentIndex(), start.siblingAtColumn(start.column() + 1));
        const QModelIndex target = grid.index(row, column(grid, qPrintable(editable)));
        view->setCurrentIndex(target);
        type(QStringLiteral("Nuovo"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        // The editor hands its text over once the key is done with.
        QTRY_COMPARE(grid.cell(row, target.column()), QStringLiteral("Nuovo"));
        QStringList expected = before;
        expected[row * grid.columnCount() + target.column()] = QStringLiteral("Nuovo");
        QCOMPARE(cells(grid), expected);
    }

    // What was typed in the summary's grid belongs to the cards listed then: a new listing
    // shows and exports the stored values of the cards it lists.
    void typedCellsDoNotSurviveANewListing_data() {
        QTest::addColumn<QString>("start"); // of the second listing
        QTest::addColumn<QString>("end");
        QTest::addColumn<bool>("committed"); // Enter pressed, or the editor still open
        QTest::addColumn<QString>("shown");  // the first row's subject afterwards
        QTest::newRow("another range") << "03/03/2026"
                                       << "04/03/2026" << true << "Secondo";
        QTest::newRow("another range, editor open") << "03/03/2026"
                                                    << "04/03/2026" << false << "Secondo";
        QTest::newRow("the same range again") << "02/03/2026"
                                              << "02/03/2026" << true << "Primo";
    }
    void typedCellsDoNotSurviveANewListing() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(bool, committed);
        QFETCH(QString, shown);
        Fixture f;
        TfrmRiepProtocollo w(nullptr, f.registerPath);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        Fixture::list(w, QStringLiteral("02/03/2026"), QStringLiteral("02/03/2026"));
        RecordGridModel& grid = *w.grid();
        QCOMPARE(grid.rowCount(), 1);
        const int subject = column(grid, "colOggetto");
        auto* view = control<QTableView>(&w, "grdRecords");

        view->setFocus();
        view->setCurrentIndex(grid.index(0, subject));
        type(QStringLiteral("Digitato"));
        if (committed) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_COMPARE(grid.cell(0, subject), QStringLiteral("Digitato"));
        }
        Fixture::list(w, start, end);
        QVERIFY(f.services.messages.isEmpty());
        QCOMPARE(grid.cell(0, subject), shown);
        QCOMPARE(view->model()->index(0, subject).data().toString(), shown);

        f.services.answers = {true, false};
        QTest::mouseClick(control<QAbstractButton>(&w, "cmdEsporta"), Qt::LeftButton);
        const QByteArray xls = f.exported();
        QVERIFY(xls.contains(">" + shown.toLatin1() + "</td>"));
        QVERIFY(!xls.contains("Digitato"));
    }

    // A grid of many cards, far more bytes than one block of rows holds: every cell of every
    // row reads its own card's field, full or empty, and the row number counts on.
    void everyCellReadsItsCard_data() {
        QTest::addColumn<int>("cards");
        QTest::addColumn<int>("fullEvery"); // 1: every card full; 0: none
        QTest::newRow("full cards") << 30000 << 1;
        QTest::newRow("empty cards") << 30000 << 0;
        QTest::newRow("full and empty in turn") << 50000 << 2;
    }
    void everyCellReadsItsCard() {
        QFETCH(int, cards);
        QFETCH(int, fullEvery);
        const RecordLayout& layout = DocumentRecord::layout();
        QList<RecordGridModel::Column> columns = {{"colNum", QStringLiteral("N."), 40, true, -1}};
        for (int field = 0; field < layout.fieldCount(); ++field)
            columns.append(
                {"colCampo", QString::fromLatin1(layout.field(field).name), 80, true, field});
        RecordGridModel grid(columns);
        // The texts of card `n`: each field filled to its capacity, "à" among them.
        const auto card = [&](int n) {
            Record r(layout);
            if (fullEvery == 0 || n % fullEvery != 0)
                return r;
            for (int field = 0; field < layout.fieldCount(); ++field) {
                const QString text = QStringLiteral("%1à%2 ").arg(n).arg(field);
                r.setText(field, text.repeated(layout.field(field).capacity / int(text.size()) + 1)
                                     .left(layout.field(field).capacity));
            }
            return r;
        };
        RecordGridModel::Rows rows = grid.makeRows(layout);
        rows.reserve(cards);
        for (int n = 0; n < cards; ++n)
            rows.add(card(n).bytes());
        grid.setRows(std::move(rows));
        QCOMPARE(grid.rowCount(), cards);
        for (int n = 0; n < cards; ++n) {
            const Record r = card(n);
            QCOMPARE(grid.cell(n, 0), QString::number(n + 1));
            for (int field = 0; field < layout.fieldCount(); ++field) {
                if (grid.cell(n, field + 1) != r.text(field))
                    QFAIL(qPrintable(QStringLiteral("card %1, field %2: %3")
                                         .arg(n)
                                         .arg(field)
                                         .arg(grid.cell(n, field + 1))));
            }
        }
    }
};

QTEST_MAIN(TestGrids)
#include "tst_Grids.moc"
