// Times the queries and outputs of both archives on 100,000 cards, each action in a process
// of its own so that its peak memory is its own, best of three runs:
//   protocol register: search with every filter blank and with one filter (from the click
//   on "Cerca" to the list shown), export window (from opening to the grid shown), export
//   files written (.xls, .xlsx and CSV: export-file, export-xlsx, export-csv), summary over
//   the whole year;
//   document card index: to-complete list built, the same searches, export window and files;
//   every year's register ("Cerca in tutti gli anni" ticked): the same two searches over
//   100,000 cards in five registers of 20,000.
// Beside each search, the same query on the same cards loaded into an SQLite database,
// timed the same way in a process of its own (when the benchmarks were built with SQLite):
// all filters blank against the ordered listing of the same rows, one filter against the
// filtered query, ordered too; the result lines are built in C++ from the rows SQLite gives,
// exactly as the program builds them from its records.
// The archives carry the side files a working installation has beside them: a change journal
// of one "nuova" block per card, the fingerprints of the files the cards name and, for the
// register, 1 % of its cards annulled; so the figures show that the outputs read them only
// when they must. "bench_outputs bare" leaves them out.
// Targets: searches under 0.25 s and no slower than SQLite; every other figure under 0.5 s,
// the .xls and CSV files under 1 s (the .xlsx is packed by its library, about ten times
// slower); peak memory under twice the file's size.
//
// "bench_outputs scale [SIZES] [KINDS] [runs=N]" times how the same outputs grow with the
// cards instead: the searches (blank and one filter), the to-complete list, the export
// windows and files (all three formats) of both archives and the searches of every year (the cards
// in five registers), each at every size of SIZES (default 100000,400000), for archives of each
// kind of KINDS (default realistic,empty):
//   realistic  the generators' cards;
//   empty      cards never filled in (every byte zero);
//   same       one realistic card over and over, one that the one-filter searches find
//              and that is marked to be completed (every line listed and equal);
//   full       one card whose texts fill their fields, over and over (the largest rows).
// Each figure is the best of N runs (default 3) in processes of their own, printed with its
// peak memory and its ratio to the figure of the first size; no side files. The full table:
//   bench_outputs scale 100000,400000,1000000 realistic,empty,same,full runs=1
// takes about five minutes on two cores and needs 11 GB of disk at a time (the archives of one
// size and kind, in a temporary folder, removed before the next).

#include "SideFiles.h"
#include "app/Application.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "documents/Altri.h"
#include "documents/DaCompletare.h"
#include "documents/ExpAltri.h"
#include "documents/TrovaAltri.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/GeneratorParts.h"
#include "genprotocol/ProtocolGenerator.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "ui/ExportRun.h"
#include "ui/RecordGrid.h"
#include "ui/Services.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#ifdef FALDORA_BENCH_SQLITE
#include <sqlite3.h>
#endif

namespace {

// Answers the export's two questions: yes, export; no, do not open the file.
class Answers : public MessageService {
public:
    bool show(QWidget*, MessageKind, const QString& text) override {
        return !text.contains(QStringLiteral("aprire"));
    }
};

// The one filter of the "one filter" searches: a word of the subject.
const QString kProtocolWord = QStringLiteral("fattura");
const QString kDocumentWord = QStringLiteral("fornitura");

// Presses "Cerca" as a user does and waits for the list to show; gives the seconds.
double clickSearch(SearchWindow& window, const char* filter, const QString& word,
                   bool everyYear = false) {
    window.show();
    QApplication::processEvents();
    if (filter)
        window.findChild<QLineEdit*>(QLatin1String(filter))->setText(word);
    if (everyYear)
        window.findChild<QCheckBox*>(QStringLiteral("chkTuttiGliAnni"))->setChecked(true);
    QElapsedTimer timer;
    timer.start();
    window.findChild<QPushButton*>(QStringLiteral("btnCerca"))->click();
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e9;
}

double openGrid(const std::function<GridWindow*()>& make) {
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<GridWindow> window(make());
    window->show();
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e9;
}

// "export-file" writes the .xls, "export-xlsx" and "export-csv" the other two formats.
Spreadsheet::Format formatOf(const QString& action) {
    return Spreadsheet::formatOfKey(action.section(u'-', 1)).value_or(Spreadsheet::Format::Xls);
}

bool isExportFile(const QString& action) {
    return action == QLatin1String("export-file") || action == QLatin1String("export-xlsx") ||
           action == QLatin1String("export-csv");
}

double exportFile(GridWindow* made, const Spreadsheet::Target& target, Spreadsheet::Format format) {
    std::unique_ptr<GridWindow> window(made);
    QElapsedTimer timer;
    timer.start();
    runExport(window.get(), target, format, *window->grid());
    return double(timer.nsecsElapsed()) / 1e9;
}

double protocolAction(const QString& action, const QString& path, bool everyYear) {
    TfrmProtocollo card;
    card.findChild<QLabel*>(QStringLiteral("lblFile"))->setText(path);
    if (action == QLatin1String("search-blank") || action == QLatin1String("search-one")) {
        TfrmTrovaProtocollo window(&card, &card);
        return clickSearch(window, action == QLatin1String("search-one") ? "txtOggetto" : nullptr,
                           kProtocolWord, everyYear);
    }
    if (action == QLatin1String("export-window"))
        return openGrid([&] { return new TfrmExpProtocollo(nullptr, path); });
    if (isExportFile(action))
        return exportFile(new TfrmExpProtocollo(nullptr, path), Spreadsheet::protocolExport(),
                          formatOf(action));
    if (action == QLatin1String("summary")) {
        TfrmRiepProtocollo window(nullptr, path);
        window.show();
        window.findChild<QLineEdit*>(QStringLiteral("txtDataInizio"))
            ->setText(QStringLiteral("01/01/2026"));
        window.findChild<QLineEdit*>(QStringLiteral("txtDataFine"))
            ->setText(QStringLiteral("31/12/2026"));
        QElapsedTimer timer;
        timer.start();
        window.showSummary();
        QApplication::processEvents();
        return double(timer.nsecsElapsed()) / 1e9;
    }
    return -1;
}

double documentAction(const QString& action, const QString& path) {
    TfrmAltri card;
    if (action == QLatin1String("search-blank") || action == QLatin1String("search-one")) {
        TfrmTrovaAltri window(&card, &card);
        return clickSearch(window, action == QLatin1String("search-one") ? "txtOggetto" : nullptr,
                           kDocumentWord);
    }
    if (action == QLatin1String("to-complete")) {
        // Built when made, shown at once.
        QElapsedTimer timer;
        timer.start();
        TfrmDaCompletare window(&card, &card);
        window.show();
        QApplication::processEvents();
        return double(timer.nsecsElapsed()) / 1e9;
    }
    if (action == QLatin1String("export-window"))
        return openGrid([&] { return new TfrmExpAltri(nullptr, path); });
    if (isExportFile(action))
        return exportFile(new TfrmExpAltri(nullptr, path), Spreadsheet::documentExport(),
                          formatOf(action));
    return -1;
}

#ifdef FALDORA_BENCH_SQLITE

struct SqlArchive {
    const char* table;
    const RecordLayout* layout;
    // The line's fields in line order, and the result line built from them.
    QList<Search::LinePiece> line;
    QString word;
};

SqlArchive sqlArchive(bool documents) {
    if (documents)
        return {"documenti", &DocumentRecord::layout(), TfrmTrovaAltri::resultLine(),
                kDocumentWord};
    return {"protocollo", &ProtocolRecord::layout(), TfrmTrovaProtocollo::resultLine(),
            kProtocolWord};
}

// Every card of the archive files as one row of a table whose columns are its fields, then
// its register's year (the file's name; empty for the card index).
bool loadSql(const QStringList& archivePaths, const QString& dbPath, bool documents) {
    const SqlArchive a = sqlArchive(documents);
    QFile::remove(dbPath);
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(dbPath).constData(), &db) != SQLITE_OK)
        return false;
    QStringList columns, marks;
    for (const FieldSpec& f : a.layout->fields()) {
        columns << QLatin1String(f.name) + QStringLiteral(" TEXT");
        marks << QStringLiteral("?");
    }
    columns << QStringLiteral("Anno TEXT");
    marks << QStringLiteral("?");
    const QByteArray create =
        QStringLiteral("CREATE TABLE %1 (%2)").arg(a.table, columns.join(u',')).toUtf8();
    const QByteArray insert =
        QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(a.table, marks.join(u',')).toUtf8();
    sqlite3_exec(db, create.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, insert.constData(), -1, &stmt, nullptr);
    for (const QString& archivePath : archivePaths) {
        const QByteArray year =
            documents ? QByteArray() : QFileInfo(archivePath).fileName().left(4).toUtf8();
        RecordArchive(archivePath, *a.layout).scan([&](int, const Record& r) {
            for (int i = 0; i < a.layout->fieldCount(); ++i) {
                const QByteArray text = r.text(i).toUtf8();
                sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()),
                                  SQLITE_TRANSIENT);
            }
            sqlite3_bind_text(stmt, a.layout->fieldCount() + 1, year.constData(), int(year.size()),
                              SQLITE_TRANSIENT);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        });
    }
    sqlite3_finalize(stmt);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return true;
}

// The query of a search, timed from its start to the last result line built; over every
// year, newest first, each line after its year.
double querySql(const QString& dbPath, bool documents, bool oneFilter, bool everyYear, int* rows) {
    const SqlArchive a = sqlArchive(documents);
    QStringList fields, order;
    if (everyYear) {
        fields << QStringLiteral("Anno");
        order << QStringLiteral("Anno DESC");
    }
    for (const Search::LinePiece& p : a.line) {
        const QString name = QLatin1String(a.layout->field(p.field).name);
        fields << name;
        order << name + QStringLiteral(" COLLATE NOCASE");
    }
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(fields.join(u','), a.table);
    if (oneFilter)
        sql += QStringLiteral(" WHERE Oggetto LIKE '%%1%'").arg(a.word);
    sql += QStringLiteral(" ORDER BY ") + order.join(u',');

    QElapsedTimer timer;
    timer.start();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(dbPath).constData(), &db, SQLITE_OPEN_READONLY,
                        nullptr) != SQLITE_OK)
        return -1;
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
    QStringList lines;
    const int first = everyYear ? 1 : 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        QString line;
        if (everyYear)
            line = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                                     sqlite3_column_bytes(stmt, 0)) +
                   QStringLiteral("  ");
        for (int i = 0; i < a.line.size(); ++i) {
            const QString value = QString::fromUtf8(
                reinterpret_cast<const char*>(sqlite3_column_text(stmt, first + i)),
                sqlite3_column_bytes(stmt, first + i));
            line += QLatin1String(a.line[i].label);
            line += a.line[i].width > 0 ? Search::fixedWidth(value, a.line[i].width) : value;
        }
        lines.append(line);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    *rows = int(lines.size());
    return double(timer.nsecsElapsed()) / 1e9;
}

#endif

int runAction(const QString& archive, const QString& action, const QString& path) {
    const QString folder = path.left(path.lastIndexOf(u'/') + 1);
    Answers answers;
    const Services::FolderScope programFolder(folder);
    Services::setMessages(&answers);
    double seconds = -1;
    const bool documents = archive == QLatin1String("documents");
    const bool everyYear = archive == QLatin1String("years");
#ifdef FALDORA_BENCH_SQLITE
    if (action.startsWith(QLatin1String("sqlite-"))) {
        int rows = 0;
        seconds = querySql(folder + QStringLiteral("cards.sqlite"), documents,
                           action == QLatin1String("sqlite-one"), everyYear, &rows);
    }
#endif
    if (seconds < 0)
        seconds =
            documents ? documentAction(action, path) : protocolAction(action, path, everyYear);
    Services::setMessages(nullptr);
    if (seconds < 0)
        return 2;
    std::printf("%.3f %.1f\n", seconds, BenchSideFiles::peakMegabytes());
    return 0;
}

struct Figure {
    double seconds = 1e9;
    double peakMb = 0;
};

// Best of `runs` runs, each in a process of its own.
Figure measure(const QString& archive, const QString& action, const QString& path, int runs = 3) {
    Figure best;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {archive, action, path});
        child.waitForFinished(600000);
        const QStringList out =
            QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(u' ');
        bool ok = false;
        const double seconds = out.value(0).toDouble(&ok);
        if (ok && seconds < best.seconds)
            best = {seconds, out.value(1).toDouble()};
    }
    return best;
}

// `path` is the archive the card window works on; `all`, every archive the searches read.
void benchArchive(const QString& archive, const QString& path, const QStringList& actions,
                  QStringList all = {}) {
    if (all.isEmpty())
        all = {path};
    double fileMb = 0;
    QStringList names;
    for (const QString& one : all) {
        fileMb += double(QFileInfo(one).size()) / (1024.0 * 1024.0);
        names << QFileInfo(one).fileName();
    }
    std::printf("\n%s: 100000 cards, %s %.1f MB\n", qPrintable(archive),
                qPrintable(names.join(QStringLiteral(", "))), fileMb);
    std::printf("side files: %s\n", qPrintable(BenchSideFiles::presentText(path)));
    std::printf("%-16s %9s %9s %9s %9s\n", "action", "seconds", "peak MB", "SQLite s", "ratio");
#ifdef FALDORA_BENCH_SQLITE
    const bool documents = archive == QLatin1String("documents");
    loadSql(all, QFileInfo(path).path() + QStringLiteral("/cards.sqlite"), documents);
#endif
    for (const QString& action : actions) {
        const Figure f = measure(archive, action, path);
        std::printf("%-16s %9.3f %9.1f", qPrintable(action), f.seconds, f.peakMb);
#ifdef FALDORA_BENCH_SQLITE
        if (action.startsWith(QLatin1String("search-"))) {
            const Figure sql =
                measure(archive,
                        action == QLatin1String("search-one") ? QStringLiteral("sqlite-one")
                                                              : QStringLiteral("sqlite-blank"),
                        path);
            std::printf(" %9.3f %9.2f", sql.seconds, f.seconds / sql.seconds);
        }
#endif
        std::printf("\n");
    }
}

// The side files beside an archive; the fingerprints are made up from the files' names (no
// output reads the files themselves).
bool writeSideFiles(const QString& path, const RecordLayout& layout,
                    const Journal::Identity& identity, bool annul) {
    QList<Annulments::Annulment> annulled;
    if (annul) {
        annulled = BenchSideFiles::writeAnnulments(path);
        if (annulled.isEmpty())
            return false;
    }
    return BenchSideFiles::writeCreationJournal(path, layout, identity, annulled) &&
           BenchSideFiles::writeFingerprints(
               path, identity.archive, BenchSideFiles::attachments(path, layout),
               [](const QString& name) { return Journal::digest(name.toUtf8()); });
}

// The archives of one kind for the growth table.
enum class Kind { Realistic, Empty, Same, Full };

struct KindName {
    Kind kind;
    const char* name;
};
constexpr KindName kKinds[] = {{Kind::Realistic, "realistic"},
                               {Kind::Empty, "empty"},
                               {Kind::Same, "same"},
                               {Kind::Full, "full"}};

// The first card of the generators' that `fits` accepts, as the card repeated in a "same"
// archive.
template <typename Generator, typename Fits>
QByteArray repeatedCard(const Generator& generator, const Fits& fits,
                        bool (*indexFits)(int) = nullptr) {
    for (int i = 0;; ++i) {
        if (indexFits && !indexFits(i))
            continue;
        const auto card = generator.card(i, 1000);
        if (fits(card))
            return card.bytes();
    }
}

// The register, the card index and, for the search of every year, five registers of a
// fifth of the cards each, all of one kind.
bool writeScaleArchives(Kind kind, int cards, const QString& protocol, const QString& documents,
                        const QStringList& years) {
    const ProtocolGenerator protocolCards(7, 2026);
    const DocumentGenerator documentCards(7, 2026);
    const auto writeYears = [&](const std::function<bool(const QString&, int, int)>& write) {
        return std::all_of(years.begin(), years.end(), [&](const QString& path) {
            return write(path, QFileInfo(path).baseName().toInt(), cards / int(years.size()));
        });
    };
    if (kind == Kind::Realistic)
        return protocolCards.writeRegister(protocol, cards) &&
               documentCards.writeIndex(documents, cards) &&
               writeYears([](const QString& path, int year, int count) {
                   return ProtocolGenerator(7, year).writeRegister(path, count);
               });
    QByteArray protocolCard(ProtocolRecord::layout().size(), '\0');
    QByteArray documentCard(DocumentRecord::layout().size(), '\0');
    if (kind == Kind::Full) {
        protocolCard = repeatedCard(
            protocolCards, [](const ProtocolRecord&) { return true; },
            ProtocolGenerator::isFullCard);
        documentCard = repeatedCard(
            documentCards, [](const DocumentRecord&) { return true; },
            DocumentGenerator::isFullCard);
    }
    if (kind == Kind::Same) {
        protocolCard = repeatedCard(protocolCards, [](const ProtocolRecord& card) {
            return Search::foldAZ(card.text(ProtocolRecord::Oggetto)).contains(kProtocolWord);
        });
        documentCard = repeatedCard(documentCards, [](const DocumentRecord& card) {
            return Search::foldAZ(card.text(DocumentRecord::Oggetto)).contains(kDocumentWord) &&
                   card.text(DocumentRecord::DaCompletare) == DocumentRecord::Yes;
        });
    }
    const auto copies = [](const QString& path, int count, const QByteArray& card) {
        return GeneratorParts::writeRecords(
            path, count, card.size(), [&](int) -> const QByteArray& { return card; }, nullptr);
    };
    return copies(protocol, cards, protocolCard) && copies(documents, cards, documentCard) &&
           writeYears([&](const QString& path, int, int count) {
               return copies(path, count, protocolCard);
           });
}

struct ScaleRow {
    QString archive;
    QString action;
};
const QList<ScaleRow> kScaleRows = {
    {QStringLiteral("protocol"), QStringLiteral("search-blank")},
    {QStringLiteral("protocol"), QStringLiteral("search-one")},
    {QStringLiteral("protocol"), QStringLiteral("export-window")},
    {QStringLiteral("protocol"), QStringLiteral("export-file")},
    {QStringLiteral("protocol"), QStringLiteral("export-xlsx")},
    {QStringLiteral("protocol"), QStringLiteral("export-csv")},
    {QStringLiteral("documents"), QStringLiteral("to-complete")},
    {QStringLiteral("documents"), QStringLiteral("search-blank")},
    {QStringLiteral("documents"), QStringLiteral("search-one")},
    {QStringLiteral("documents"), QStringLiteral("export-window")},
    {QStringLiteral("documents"), QStringLiteral("export-file")},
    {QStringLiteral("documents"), QStringLiteral("export-xlsx")},
    {QStringLiteral("documents"), QStringLiteral("export-csv")},
    {QStringLiteral("years"), QStringLiteral("search-blank")},
    {QStringLiteral("years"), QStringLiteral("search-one")},
};

// "scale [SIZES] [KINDS] [runs=N]": see the top of the file.
int runScale(const QStringList& args) {
    QList<int> sizes = {100000, 400000};
    QList<KindName> kinds = {kKinds[0], kKinds[1]};
    int runs = 3;
    for (const QString& arg : args) {
        if (arg.startsWith(QLatin1String("runs="))) {
            runs = std::max(1, arg.mid(5).toInt());
        } else if (arg.front().isDigit()) {
            sizes.clear();
            for (const QString& size : arg.split(u','))
                sizes << std::max(1, size.toInt());
        } else {
            kinds.clear();
            for (const QString& name : arg.split(u',')) {
                const auto* found = std::find_if(std::begin(kKinds), std::end(kKinds),
                                                 [&](const KindName& k) { return name == k.name; });
                if (found == std::end(kKinds)) {
                    std::fprintf(stderr, "unknown kind of cards: %s\n", qPrintable(name));
                    return 1;
                }
                kinds << *found;
            }
        }
    }
    std::printf("growth with the cards, best of %d, ratios to %d cards; no side files\n", runs,
                sizes.first());
    for (const KindName& kind : kinds) {
        // figures[row][size]
        std::vector<std::vector<Figure>> figures(std::size_t(kScaleRows.size()));
        for (const int cards : sizes) {
            QTemporaryDir dir;
            const QString protocol = dir.filePath(QStringLiteral("protocol/2026.prt"));
            const QString documents =
                dir.filePath(QStringLiteral("documents/Schedario_Documenti.pro"));
            QStringList years;
            for (int year = 2022; year <= 2026; ++year)
                years << dir.filePath(QStringLiteral("years/%1.prt").arg(year));
            for (const QString& path : {protocol, documents, years.first()})
                QDir().mkpath(QFileInfo(path).path());
            std::fprintf(stderr, "%s, %d cards: writing the archives\n", kind.name, cards);
            if (!writeScaleArchives(kind.kind, cards, protocol, documents, years)) {
                std::fprintf(stderr, "cannot write the archives in %s\n", qPrintable(dir.path()));
                return 1;
            }
            for (qsizetype row = 0; row < kScaleRows.size(); ++row) {
                const ScaleRow& r = kScaleRows[row];
                std::fprintf(stderr, "  %s %s\n", qPrintable(r.archive), qPrintable(r.action));
                const QString& path = r.archive == QLatin1String("protocol")    ? protocol
                                      : r.archive == QLatin1String("documents") ? documents
                                                                                : years.last();
                figures[std::size_t(row)].push_back(measure(r.archive, r.action, path, runs));
            }
        }
        std::printf("\n%s cards\n%-24s", kind.name, "");
        for (const int cards : sizes)
            std::printf(" | %-30d", cards);
        std::printf("\n%-24s", "action");
        for (qsizetype i = 0; i < sizes.size(); ++i)
            std::printf(" | %7s %7s %6s %6s", "seconds", "peak MB", "x s", "x MB");
        std::printf("\n");
        for (qsizetype row = 0; row < kScaleRows.size(); ++row) {
            const auto& line = figures[std::size_t(row)];
            std::printf("%-24s",
                        qPrintable(kScaleRows[row].archive + u' ' + kScaleRows[row].action));
            for (const Figure& f : line)
                std::printf(" | %7.3f %7.1f %6.2f %6.2f", f.seconds, f.peakMb,
                            f.seconds / line.front().seconds, f.peakMb / line.front().peakMb);
            std::printf("\n");
        }
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);
    const QStringList args = app.arguments();
    if (args.size() == 4 && !args[1].startsWith(QLatin1String("scale")))
        return runAction(args[1], args[2], args[3]);
    if (args.size() >= 2 && args[1] == QLatin1String("scale"))
        return runScale(args.mid(2));

    QTemporaryDir dir;
    constexpr int kCards = 100000;
    const QString protocol = dir.filePath(QStringLiteral("protocol/2026.prt"));
    const QString documents = dir.filePath(QStringLiteral("documents/Schedario_Documenti.pro"));
    QDir().mkpath(QFileInfo(protocol).path());
    QDir().mkpath(QFileInfo(documents).path());
    ProtocolGenerator(7, 2026).writeRegister(protocol, kCards);
    // The same number of cards in five yearly registers, newest last.
    QStringList years;
    QDir().mkpath(dir.filePath(QStringLiteral("years")));
    for (int year = 2022; year <= 2026; ++year) {
        years << dir.filePath(QStringLiteral("years/%1.prt").arg(year));
        ProtocolGenerator(7, year).writeRegister(years.last(), kCards / 5);
    }
    DocumentGenerator(7, 2026).writeIndex(documents, kCards);
    if (!(args.size() == 2 && args[1] == QLatin1String("bare")) &&
        !(writeSideFiles(protocol, ProtocolRecord::layout(),
                         ProtocolRecord::journalIdentity(protocol), true) &&
          writeSideFiles(documents, DocumentRecord::layout(),
                         DocumentRecord::journalIdentity(documents), false) &&
          std::all_of(years.begin(), years.end(), [](const QString& path) {
              return writeSideFiles(path, ProtocolRecord::layout(),
                                    ProtocolRecord::journalIdentity(path), true);
          }))) {
        std::fprintf(stderr, "cannot write the side files\n");
        return 1;
    }
#ifndef FALDORA_BENCH_SQLITE
    std::printf("(built without SQLite: no comparison)\n");
#endif
    benchArchive(QStringLiteral("protocol"), protocol,
                 {QStringLiteral("search-blank"), QStringLiteral("search-one"),
                  QStringLiteral("export-window"), QStringLiteral("export-file"),
                  QStringLiteral("export-xlsx"), QStringLiteral("export-csv"),
                  QStringLiteral("summary")});
    benchArchive(QStringLiteral("documents"), documents,
                 {QStringLiteral("to-complete"), QStringLiteral("search-blank"),
                  QStringLiteral("search-one"), QStringLiteral("export-window"),
                  QStringLiteral("export-file"), QStringLiteral("export-xlsx"),
                  QStringLiteral("export-csv")});
    benchArchive(QStringLiteral("years"), years.last(),
                 {QStringLiteral("search-blank"), QStringLiteral("search-one")}, years);
    QElapsedTimer timer;
    timer.start();
    QProcess cat;
    cat.setStandardOutputFile(QProcess::nullDevice());
    cat.start(QStringLiteral("cat"), {protocol});
    cat.waitForFinished();
    std::printf("\nfloor: cat of the register %.3f s\n", double(timer.nsecsElapsed()) / 1e9);
    return 0;
}
