#include "core/DocumentRecord.h"
#include "documents/Altri.h"
#include "documents/ExpAltri.h"
#include "protocol/Numerazione.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "support/Files.h"
#include "support/TestServices.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

// One session of a user, scripted: a protocol card, a document card, the numbering and the
// remembered office, both exports. The files it leaves are the same bytes on every system:
// FALDORA_SAME_BYTES_OUT keeps a copy of them, FALDORA_SAME_BYTES_REFERENCE compares them with
// the copy another system's run kept (scripts/windows runs it on Linux, then under Wine).
class TestSameBytes : public QObject {
    Q_OBJECT
private slots:
    void aSessionWritesTheSameBytesEverywhere() {
        TestServices services;
        const auto click = [](QWidget* window, const char* name) {
            QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
        };
        const auto type = [](QWidget* window, const char* name, const QString& text) {
            control<QLineEdit>(window, name)->setText(text);
        };

        TfrmProtocollo protocol;
        const QString registerPath = services.file(QStringLiteral("2026.prt"));
        control<QLabel>(&protocol, "lblFile")->setText(registerPath);
        protocol.show();
        {
            TfrmNumerazione numbering(&protocol);
            numbering.setOpenerTag(QStringLiteral("protocollo"));
            numbering.show();
            type(&numbering, "txtInizio", QStringLiteral("120"));
            click(&numbering, "btnApplica");
        }
        click(&protocol, "cmdNuovo");
        type(&protocol, "txtUfficio", QStringLiteral("Segreteria – sede di Forlì"));
        type(&protocol, "txtOperatore", QStringLiteral("Maria Rossi"));
        type(&protocol, "txtCategoria", QStringLiteral("Fatture"));
        type(&protocol, "txtOggetto", QStringLiteral("Fattura n. 12 «acconto» € 1.250,00 & spese"));
        type(&protocol, "txtMittente", QStringLiteral("Ditta Bianchi S.r.l."));
        type(&protocol, "txtNote", QStringLiteral("  da pagare entro il 31/03  "));
        control<QRadioButton>(&protocol, "optEntrata")->setChecked(true);
        click(&protocol, "cmdSalva");

        TfrmAltri documents;
        documents.show();
        click(&documents, "cmdNuovo");
        type(&documents, "txtDocumento", QStringLiteral("Contratto di locazione – via Émile Zola"));
        type(&documents, "txtProduttore", QStringLiteral("Studio Notarile Ñúñez"));
        type(&documents, "txtDataPro", QStringLiteral("05/03/2026"));
        type(&documents, "txtOggetto", QStringLiteral("Canone annuo: 7.800 €; \"prima\" rata"));
        click(&documents, "cmdSalva");

        services.answers = {true, true, true, true}; // each export: go ahead, open the file
        {
            TfrmExpProtocollo exporter(&protocol, registerPath);
            click(&exporter, "cmdEsporta");
        }
        {
            TfrmExpAltri exporter(&documents, DocumentArchive::in(services.folderPath()).path());
            click(&exporter, "cmdEsporta");
        }
        protocol.close(); // writes the remembered office and operator

        const QStringList files{QStringLiteral("2026.prt"),
                                QStringLiteral("Schedario_Documenti.pro"),
                                QStringLiteral("Faldora_Pro.ini"), QStringLiteral("Protocollo.xls"),
                                QStringLiteral("Schedario_Documenti.xls")};
        const QString out = qEnvironmentVariable("FALDORA_SAME_BYTES_OUT");
        const QString reference = qEnvironmentVariable("FALDORA_SAME_BYTES_REFERENCE");
        for (const QString& name : files) {
            const QByteArray bytes = readBytes(services.file(name));
            QVERIFY2(bytes != "<missing>" && !bytes.isEmpty(), qPrintable(name));
            if (!out.isEmpty()) {
                QVERIFY(QDir().mkpath(out));
                writeBytes(QDir(out).filePath(name), bytes);
            }
            if (!reference.isEmpty())
                QVERIFY2(bytes == readBytes(QDir(reference).filePath(name)), qPrintable(name));
        }
    }
};

QTEST_MAIN(TestSameBytes)
#include "tst_SameBytes.moc"
