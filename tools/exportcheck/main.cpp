// exportcheck FOLDER [COUNT [FORMAT]]
//
// Writes a document card index of COUNT generated cards (30 by default) plus a few cards
// full of characters that a spreadsheet may read wrongly ("&", "<", ">", quotes, ";", line
// breaks, formulas, accents, "€", numbers and dates) into FOLDER, then exports it through
// the real export window in FORMAT ("xls", the default, "xlsx" or "csv"), answering Yes to
// the export and No to opening the file, and prints the file's path. check.sh then reads
// the file back and compares every cell.
#include "app/Application.h"
#include "core/DocumentRecord.h"
#include "documents/ExpAltri.h"
#include "genprotocol/DocumentGenerator.h"
#include "ui/FormatButton.h"
#include "ui/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <cstdio>

namespace {

using F = DocumentRecord::Field;

// The program folder is FOLDER; the export's two questions are answered Yes, then No; any
// other message is a failure.
class Answers : public MessageService, public FolderService {
public:
    explicit Answers(QString folder) : m_folder(std::move(folder)) {}
    bool show(QWidget*, MessageKind kind, const QString& text) override {
        if (kind != MessageKind::Question) {
            std::fprintf(stderr, "exportcheck: %s\n", qPrintable(text));
            failed = true;
            return true;
        }
        return questions++ == 0;
    }
    QString programFolder() const override { return m_folder; }

    int questions = 0;
    bool failed = false;

private:
    QString m_folder;
};

// Texts a spreadsheet may take for markup, numbers or dates, or lose characters of.
DocumentRecord awkwardCard(int n) {
    DocumentRecord r;
    for (int i = 0; i < F::DaCompletare; ++i)
        r.Record::setText(i, QStringLiteral("Campo %1 della scheda %2").arg(i).arg(n));
    r.setText(F::Documento, QStringLiteral("Rossi & Figli <S.r.l.> \"preventivo\" n. %1").arg(n));
    r.setText(F::Protocollo, QStringLiteral("0012/2026"));
    r.setText(F::Produttore, QStringLiteral("Città di Forlì; perché è già così"));
    r.setText(F::DataPro, QStringLiteral("05/03/2026"));
    r.setText(F::Oggetto, QStringLiteral("Fattura di € 1.250,00 – «urgente» > 30 giorni"));
    r.setText(F::Pagine, QStringLiteral("007"));
    r.setText(F::Allegati, QStringLiteral("a, b; c\td"));
    r.setText(F::Note, QStringLiteral("ÀÈÌÒÙ àèìòù ç ñ ü ß æ œ Š ž Ÿ ‰ † • ™"));
    r.setText(F::Livello, QStringLiteral("=1+1"));
    r.setText(F::Software, QStringLiteral("1E5"));
    r.setText(F::Riferimenti, QStringLiteral("Prot.  11/2026   e 12/2026"));
    r.setText(F::Destinatario, QStringLiteral("+39 0543 123456"));
    r.setText(F::Classificazione, QStringLiteral("-5 @SOMMA(A1)"));
    r.setText(F::Fascicolo, QStringLiteral("@SOMMA(A1:A3)"));
    if (n == 2)
        r.setText(F::Soggetti, QStringLiteral("prima riga\r\nseconda riga\nterza"));
    r.setToComplete(n % 2 == 0);
    return r;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: exportcheck FOLDER [COUNT [xls|xlsx|csv]]\n");
        return 2;
    }
    const QString folder = QDir(args[1]).absolutePath() + QLatin1Char('/');
    const int count = args.size() > 2 ? args[2].toInt() : 30;
    const auto format = Spreadsheet::formatOfKey(args.size() > 3 ? args[3] : QStringLiteral("xls"));
    if (!format) {
        std::fprintf(stderr, "exportcheck: no such format\n");
        return 2;
    }
    Answers answers(folder);
    Services::setMessages(&answers);
    Services::setFolder(&answers);

    const RecordArchive index = DocumentArchive::in(folder);
    QString error;
    if (!DocumentGenerator(1, 2026).writeIndex(index.path(), count, &error)) {
        std::fprintf(stderr, "exportcheck: %s\n", qPrintable(error));
        return 1;
    }
    for (int n = 1; n <= 2; ++n) {
        if (!index.append(awkwardCard(n))) {
            std::fprintf(stderr, "exportcheck: cannot append to %s\n", qPrintable(index.path()));
            return 1;
        }
    }

    int result = 0;
    {
        TfrmExpAltri window(nullptr, index.path());
        window.findChild<FormatButton*>(QStringLiteral("cmdFormato"))->choose(*format);
        window.findChild<QAbstractButton*>(QStringLiteral("cmdEsporta"))->click();
        if (answers.failed || answers.questions != 2)
            result = 1;
    }
    Services::setMessages(nullptr);
    Services::setFolder(nullptr);
    if (result == 0)
        std::printf("%s%s\n", qPrintable(folder),
                    qPrintable(Spreadsheet::fileName(Spreadsheet::documentExport(), *format)));
    return result;
}
