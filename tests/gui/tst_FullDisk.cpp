#include "access/CambiaPassword.h"
#include "core/Credential.h"
#include "core/DocumentRecord.h"
#include "core/IniFile.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/RecordFile.h"
#include "documents/Altri.h"
#include "documents/ExpAltri.h"
#include "protocol/Numerazione.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/TestServices.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <memory>

Q_DECLARE_METATYPE(MessageKind)

namespace {

const QByteArray kSettings = "[Numerazione Protocollo]\r\nInizio=100\r\n"
                             "Indicazione Anno Solare=S\xEC\r\n\r\n"
                             "[Protocollo Documenti]\r\nUfficio=Segreteria\r\n"
                             "Operatore=Mario Rossi\r\n";
const QString kChangeFailed = QStringLiteral(
    "Attenzione: si è verificato un errore durante la procedura di modifica della password. "
    "Si consiglia di reinstallare il software.");
const QString kExportFailed =
    QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi "
                   "che il file di Excel non sia già aperto.");
const QString kAccessError = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.");

enum class Action {
    CloseCardWindow,
    ApplyNumbering,
    ChangePassword,
    Export,
    SaveNewCard,
    SaveStoredCard,
    ExportDocuments,
    SaveNewDocument,
    SaveStoredDocument
};
enum class Medium { SizeLimit, TinyDisk };

} // namespace

Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Medium)

// Every writer of the program on a full disk: the failure is told with the window's own
// message and the file it would have replaced stays byte for byte.
class TestFullDisk : public QObject {
    Q_OBJECT
private slots:
    void writesOnAFullDiskFailVisiblyAndLoseNothing_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<Medium>("medium");
        QTest::addColumn<QString>("file");
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<QString>("message"); // "%1" stands for the file's full path
        const struct {
            const char* name;
            Action action;
            const char* file;
            MessageKind kind;
            QString message;
        } rows[] = {
            {"closing the card window", Action::CloseCardWindow, "Faldora_Pro.ini",
             MessageKind::Error, QStringLiteral("Unable to write to %1")},
            {"numbering applied", Action::ApplyNumbering, "Faldora_Pro.ini", MessageKind::Error,
             QStringLiteral("Unable to write to %1")},
            {"password changed", Action::ChangePassword, "unins000.dll", MessageKind::Notice,
             kChangeFailed},
            {"register exported", Action::Export, "Protocollo.xls", MessageKind::Notice,
             kExportFailed},
            {"new card saved", Action::SaveNewCard, "2026.prt", MessageKind::Error, kAccessError},
            {"stored card saved", Action::SaveStoredCard, "2026.prt", MessageKind::Error,
             kAccessError},
            {"document index exported", Action::ExportDocuments, "Schedario_Documenti.xls",
             MessageKind::Notice, kExportFailed},
            {"new document card saved", Action::SaveNewDocument, "Schedario_Documenti.pro",
             MessageKind::Error, kAccessError},
            {"stored document card saved", Action::SaveStoredDocument, "Schedario_Documenti.pro",
             MessageKind::Error, kAccessError},
        };
        for (const auto& row : rows) {
            for (Medium medium : {Medium::SizeLimit, Medium::TinyDisk})
                QTest::addRow("%s, %s", row.name,
                              medium == Medium::SizeLimit ? "size limit" : "full tmpfs")
                    << row.action << medium << QString::fromLatin1(row.file) << row.kind
                    << row.message;
        }
    }
    void writesOnAFullDiskFailVisiblyAndLoseNothing() {
        QFETCH(Action, action);
        QFETCH(Medium, medium);
        QFETCH(QString, file);
        QFETCH(MessageKind, kind);
        QFETCH(QString, message);

        TestServices services;
        std::unique_ptr<TinyDisk> disk;
        if (medium == Medium::TinyDisk) {
            disk = std::make_unique<TinyDisk>(services.folderPath(), 96 * 1024);
            if (!disk->ok())
                QSKIP(qPrintable(disk->why()));
        }
        const QString registerPath = services.file(QStringLiteral("2026.prt"));
        writeBytes(services.file(QStringLiteral("Faldora_Pro.ini")), kSettings);
        QVERIFY(Credential::write(services.file(QStringLiteral("unins000.dll")),
                                  QStringLiteral("lucernavolpina")));
        writeBytes(services.file(QStringLiteral("Protocollo.xls")), "<html>earlier</html>");
        const RecordArchive archive(registerPath, ProtocolRecord::layout());
        writeBytes(services.file(QStringLiteral("Schedario_Documenti.xls")),
                   "<html>earlier</html>");
        const RecordArchive index = DocumentArchive::in(services.folderPath());
        for (int n = 1; n <= 3; ++n) {
            ProtocolRecord card;
            card.setText(ProtocolRecord::Numero, QString::number(n));
            QVERIFY(archive.append(card));
            DocumentRecord document;
            document.setText(DocumentRecord::Documento, QStringLiteral("Documento %1").arg(n));
            QVERIFY(index.append(document));
        }

        TfrmProtocollo cardWindow;
        control<QLabel>(&cardWindow, "lblFile")->setText(registerPath);
        cardWindow.show();
        control<QLineEdit>(&cardWindow, "txtUfficio")->setText(QStringLiteral("Protocollo"));
        TfrmNumerazione numbering(&cardWindow);
        control<QLabel>(&numbering, "lblMemory")->setText(QStringLiteral("protocollo"));
        TfrmCambiaPassword password;
        TfrmExpProtocollo exporter(&cardWindow, registerPath);
        TfrmAltri documentWindow;
        TfrmExpAltri documentExporter(&documentWindow, index.path());
        if (action == Action::ChangePassword) {
            password.show();
            control<QLineEdit>(&password, "txtPasswordOld")
                ->setText(QStringLiteral("lucernavolpina"));
            control<QLineEdit>(&password, "txtPasswordNew")->setText(QStringLiteral("nuova"));
            control<QLineEdit>(&password, "txtConferma")->setText(QStringLiteral("nuova"));
        } else if (action == Action::ApplyNumbering) {
            numbering.show();
        } else if (action == Action::SaveNewCard) {
            QTest::mouseClick(control<QAbstractButton>(&cardWindow, "cmdNuovo"), Qt::LeftButton);
            control<QLineEdit>(&cardWindow, "txtCategoria")->setText(QStringLiteral("Varie"));
            control<QLineEdit>(&cardWindow, "txtOggetto")->setText(QString(250, u'o'));
            control<QRadioButton>(&cardWindow, "optInterna")->setChecked(true);
        } else if (action == Action::SaveNewDocument) {
            documentWindow.show();
            QTest::mouseClick(control<QAbstractButton>(&documentWindow, "cmdNuovo"),
                              Qt::LeftButton);
            control<QLineEdit>(&documentWindow, "txtDocumento")->setText(QString(120, u'd'));
            control<QLineEdit>(&documentWindow, "txtProduttore")
                ->setText(QStringLiteral("Studio Bianchi"));
            control<QLineEdit>(&documentWindow, "txtDataPro")
                ->setText(QStringLiteral("05/03/2026"));
            control<QLineEdit>(&documentWindow, "txtOggetto")->setText(QString(250, u'o'));
        } else if (action == Action::SaveStoredCard) {
            QTest::mouseClick(control<QAbstractButton>(&cardWindow, "cmdUltimo"), Qt::LeftButton);
            control<QLineEdit>(&cardWindow, "txtDataReg")->setText(QStringLiteral("05/03/2026"));
            control<QLineEdit>(&cardWindow, "txtCategoria")->setText(QStringLiteral("Varie"));
            control<QLineEdit>(&cardWindow, "txtOggetto")->setText(QString(250, u'o'));
            control<QRadioButton>(&cardWindow, "optInterna")->setChecked(true);
        } else if (action == Action::SaveStoredDocument) {
            documentWindow.show();
            QTest::mouseClick(control<QAbstractButton>(&documentWindow, "cmdUltimo"),
                              Qt::LeftButton);
            control<QLineEdit>(&documentWindow, "txtProduttore")
                ->setText(QStringLiteral("Studio Bianchi"));
            control<QLineEdit>(&documentWindow, "txtDataPro")
                ->setText(QStringLiteral("05/03/2026"));
            control<QLineEdit>(&documentWindow, "txtOggetto")->setText(QString(250, u'o'));
        }
        const QString path = services.file(file);
        const QByteArray before = readBytes(path);
        const auto act = [&] {
            switch (action) {
            case Action::CloseCardWindow:
                cardWindow.close();
                break;
            case Action::ApplyNumbering:
                QTest::mouseClick(control<QAbstractButton>(&numbering, "btnApplica"),
                                  Qt::LeftButton);
                break;
            case Action::ChangePassword:
                QTest::mouseClick(control<QAbstractButton>(&password, "cmdOK"), Qt::LeftButton);
                break;
            case Action::Export:
                services.answers = {true};
                QTest::mouseClick(control<QAbstractButton>(&exporter, "cmdEsporta"),
                                  Qt::LeftButton);
                break;
            case Action::SaveNewCard:
            case Action::SaveStoredCard:
                QTest::mouseClick(control<QAbstractButton>(&cardWindow, "cmdSalva"),
                                  Qt::LeftButton);
                break;
            case Action::ExportDocuments:
                services.answers = {true};
                QTest::mouseClick(control<QAbstractButton>(&documentExporter, "cmdEsporta"),
                                  Qt::LeftButton);
                break;
            case Action::SaveNewDocument:
            case Action::SaveStoredDocument:
                QTest::mouseClick(control<QAbstractButton>(&documentWindow, "cmdSalva"),
                                  Qt::LeftButton);
                break;
            }
        };
        services.messages.clear();
        if (disk) {
            QVERIFY(disk->fill());
            act();
        } else {
            // Room for what is there, and for a part of a card at most.
            const bool append = action == Action::SaveNewCard || action == Action::SaveNewDocument;
            const FileSizeLimit limit(append ? before.size() + 1448 : 16);
            if (!limit.ok())
                QSKIP(qPrintable(limit.why()));
            act();
        }

        QCOMPARE(readBytes(path), before);
        QVERIFY(!QFile::exists(path + RecordFile::kRewriteSuffix));
        QVERIFY(!services.messages.isEmpty());
        QCOMPARE(services.messages.last().kind, kind);
        QCOMPARE(services.messages.last().text,
                 message.contains(QLatin1String("%1")) ? message.arg(path) : message);
        // The windows that would have closed on success stay open for another try.
        if (action == Action::ApplyNumbering)
            QVERIFY(numbering.isVisible());
        if (action == Action::ChangePassword) {
            QVERIFY(password.isVisible());
            QVERIFY(Credential::matches(
                Credential::read(services.file(QStringLiteral("unins000.dll"))).password,
                QStringLiteral("lucernavolpina")));
        }
        if (action == Action::SaveNewCard)
            QVERIFY(control<QLabel>(&cardWindow, "lblPosizione")->text().isEmpty());
        if (action == Action::SaveNewDocument)
            QVERIFY(control<QLabel>(&documentWindow, "lblPosizione")->text().isEmpty());
        // A card that failed to save stays shown as typed, for another try.
        if (action == Action::SaveStoredCard)
            QCOMPARE(control<QLineEdit>(&cardWindow, "txtOggetto")->text(), QString(250, u'o'));
    }
};

QTEST_MAIN(TestFullDisk)
#include "tst_FullDisk.moc"
