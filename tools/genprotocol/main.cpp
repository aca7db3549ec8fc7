// genprotocol [--documents] [--seed N] [--year YYYY] COUNT OUTPUT_FILE
//
// Writes a protocol register of COUNT cards with realistic Italian contents, or with
// --documents a document card index ("Schedario_Documenti.pro") of COUNT cards.

#include "DocumentGenerator.h"
#include "ProtocolGenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("genprotocol"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a protocol register, or a document card index, of COUNT cards "
                       "with realistic Italian contents. The same seed and year always give "
                       "the same file."));
    parser.addHelpOption();
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Seed of the contents (default 1)."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption yearOption(
        QStringLiteral("year"),
        QStringLiteral("Year of the register, or of the documents (default: this year)."),
        QStringLiteral("YYYY"), QString::number(QDate::currentDate().year()));
    const QCommandLineOption documentsOption(
        QStringLiteral("documents"),
        QStringLiteral("Write a document card index instead of a protocol register."));
    parser.addOption(documentsOption);
    parser.addOption(seedOption);
    parser.addOption(yearOption);
    parser.addPositionalArgument(QStringLiteral("COUNT"), QStringLiteral("Number of cards."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT_FILE"),
                                 QStringLiteral("File to write (replaced if present)."));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto usageError = [&](const QString& message) {
        err << "genprotocol: " << message << "\n" << parser.helpText();
        return 2;
    };

    const QStringList args = parser.positionalArguments();
    if (args.size() != 2)
        return usageError(QStringLiteral("expected COUNT and OUTPUT_FILE."));
    bool ok = false;
    const int count = args[0].toInt(&ok);
    if (!ok || count < 0)
        return usageError(QStringLiteral("COUNT must be a whole number, 0 or more."));
    const quint32 seed = parser.value(seedOption).toUInt(&ok);
    if (!ok)
        return usageError(QStringLiteral("--seed must be a whole number from 0 to 4294967295."));
    const int year = parser.value(yearOption).toInt(&ok);
    if (!ok || year < 1900 || year > 9999)
        return usageError(QStringLiteral("--year must be between 1900 and 9999."));

    const bool documents = parser.isSet(documentsOption);
    QElapsedTimer timer;
    timer.start();
    QString error;
    const bool written = documents
                             ? DocumentGenerator(seed, year).writeIndex(args[1], count, &error)
                             : ProtocolGenerator(seed, year).writeRegister(args[1], count, &error);
    if (!written) {
        err << "genprotocol: " << error << "\n";
        return 1;
    }
    const qint64 bytes = static_cast<qint64>(count) * (documents ? DocumentRecord::layout().size()
                                                                 : ProtocolRecord::layout().size());
    out << "Wrote " << count << " cards (" << bytes << " bytes) to " << args[1] << " in "
        << timer.elapsed() << " ms (seed " << seed << ", year " << year << ").\n";
    return 0;
}
