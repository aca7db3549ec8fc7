// Times the protocol queries on registers of 10,000 and 100,000 cards, each action in a
// process of its own so that its peak memory is its own: the search with every filter
// blank and with one filter (from "Cerca" to the list shown), the export window (from
// opening to the grid shown), the export file written, and the summary over the whole
// year. A plain grep over the same file is the floor the search compares with.
// Targets for 100,000 cards: under 0.5 s each (the export file under 1 s), peak memory
// under twice the register's size.

#include "app/Application.h"
#include "core/ProtocolRecord.h"
#include "genprotocol/ProtocolGenerator.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "ui/ExportRun.h"
#include "ui/RecordGrid.h"
#include "ui/Services.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

namespace {

// Answers the export's two questions: yes, export; no, do not open the file.
class Answers : public MessageService {
public:
    bool show(QWidget*, MessageKind, const QString& text) override {
        return !text.contains(QStringLiteral("aprire"));
    }
};

class Folder : public FolderService {
public:
    explicit Folder(QString path) : m_path(std::move(path)) {}
    QString programFolder() const override { return m_path; }

private:
    QString m_path;
};

// Peak resident memory of this process, in MB (Linux; 0 elsewhere).
double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

int runAction(const QString& action, const QString& path) {
    const QString folder = path.left(path.lastIndexOf(u'/') + 1);
    Answers answers;
    Folder programFolder(folder);
    Services::setMessages(&answers);
    Services::setFolder(&programFolder);
    TfrmProtocollo card;
    card.findChild<QLabel*>(QStringLiteral("lblFile"))->setText(path);

    QElapsedTimer timer;
    timer.start();
    if (action == QLatin1String("search-blank") || action == QLatin1String("search-one")) {
        TfrmTrovaProtocollo window(&card, &card);
        window.show();
        if (action == QLatin1String("search-one"))
            window.findChild<QLineEdit*>(QStringLiteral("txtOggetto"))
                ->setText(QStringLiteral("fattura"));
        window.search();
        QApplication::processEvents();
    } else if (action == QLatin1String("export-window")) {
        TfrmExpProtocollo window(nullptr, path);
        window.show();
        QApplication::processEvents();
    } else if (action == QLatin1String("export-file")) {
        TfrmExpProtocollo window(nullptr, path);
        timer.restart();
        runExport(&window, Spreadsheet::protocolExport(), *window.grid());
    } else if (action == QLatin1String("summary")) {
        TfrmRiepProtocollo window(nullptr, path);
        window.show();
        window.findChild<QLineEdit*>(QStringLiteral("txtDataInizio"))
            ->setText(QStringLiteral("01/01/2026"));
        window.findChild<QLineEdit*>(QStringLiteral("txtDataFine"))
            ->setText(QStringLiteral("31/12/2026"));
        timer.restart();
        window.showSummary();
        QApplication::processEvents();
    } else {
        return 2;
    }
    std::printf("%.3f %.1f\n", double(timer.nsecsElapsed()) / 1e9, peakMegabytes());
    Services::setMessages(nullptr);
    Services::setFolder(nullptr);
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);
    const QStringList args = app.arguments();
    if (args.size() == 3)
        return runAction(args[1], args[2]);

    QTemporaryDir dir;
    const QStringList actions = {QStringLiteral("search-blank"), QStringLiteral("search-one"),
                                 QStringLiteral("export-window"), QStringLiteral("export-file"),
                                 QStringLiteral("summary")};
    for (int cards : {10000, 100000}) {
        const QString path = dir.filePath(QStringLiteral("%1/2026.prt").arg(cards));
        QDir().mkpath(QFileInfo(path).path());
        ProtocolGenerator(7, 2026).writeRegister(path, cards);
        const double registerMb = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
        std::printf("\n%d cards, register %.1f MB\n", cards, registerMb);
        std::printf("%-16s %10s %12s\n", "action", "seconds", "peak MB");
        for (const QString& action : actions) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {action, path});
            child.waitForFinished(600000);
            const QStringList out = QString::fromLatin1(child.readAllStandardOutput()).split(u' ');
            std::printf("%-16s %10s %12s\n", qPrintable(action), qPrintable(out.value(0)),
                        qPrintable(out.value(1).trimmed()));
        }
        QElapsedTimer timer;
        timer.start();
        QProcess grep;
        grep.start(QStringLiteral("grep"),
                   {QStringLiteral("-c"), QStringLiteral("-i"), QStringLiteral("fattura"), path});
        grep.waitForFinished();
        std::printf("%-16s %10.3f   (grep -c -i fattura)\n", "grep floor",
                    double(timer.nsecsElapsed()) / 1e9);
    }
    return 0;
}
