#include "core/Annulments.h"
#include "core/ArchiveCheck.h"
#include "core/AttachmentFolder.h"
#include "core/DocumentRecord.h"
#include "core/Fingerprints.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using ArchiveCheck::Finding;
using ArchiveCheck::Problem;

Q_DECLARE_METATYPE(ArchiveCheck::Problem)

namespace {

const QDateTime kAt(QDate(2026, 3, 5), QTime(10, 30, 15));

// `attached`: the fingerprints a save records, as the card windows give them.
RecordArchive journaled(const QString& path, const RecordLayout& layout,
                        const Journal::Identity& identity,
                        const QList<Fingerprints::Shown>& attached = {}) {
    RecordArchive archive(path, layout);
    RecordArchive::Journaling journaling{identity, kAt, Journal::Kind::New};
    Fingerprints::install(journaling, path, attached);
    archive.setJournaling(std::move(journaling));
    return archive;
}

// A program folder with a register of five cards (1/2026 to 5/2026, the first with its
// digital copy) and a document index of two cards (the second with an attachment), all
// saved with the journal and the attached files' fingerprints: an archive with nothing wrong.
class Fixture {
public:
    Fixture() {
        QDir(m_dir.path()).mkdir(AttachmentFolder::Name);
        writeBytes(attachment("lettera.pdf"), "%PDF lettera");
        writeBytes(attachment("contratto.pdf"), "%PDF contratto");
        for (int n = 1; n <= 5; ++n) {
            ProtocolRecord card;
            card.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
            card.setText(ProtocolRecord::Oggetto, QStringLiteral("Pratica %1").arg(n));
            QList<Fingerprints::Shown> attached;
            if (n == 1) {
                card.setText(ProtocolRecord::Copia, QStringLiteral("lettera.pdf"));
                attached = {{QStringLiteral("Copia"), QStringLiteral("lettera.pdf"),
                             Journal::digest("%PDF lettera")}};
            }
            QCOMPARE(journaled(registerPath(), ProtocolRecord::layout(),
                               ProtocolRecord::journalIdentity(registerPath()), attached)
                         .append(card),
                     n);
        }
        for (int n = 1; n <= 2; ++n) {
            DocumentRecord card;
            card.setText(DocumentRecord::Documento, QStringLiteral("Documento %1").arg(n));
            QList<Fingerprints::Shown> attached;
            if (n == 2) {
                card.setText(DocumentRecord::File01, QStringLiteral("contratto.pdf"));
                attached = {{QStringLiteral("File01"), QStringLiteral("contratto.pdf"),
                             Journal::digest("%PDF contratto")}};
            }
            QCOMPARE(journaled(indexPath(), DocumentRecord::layout(),
                               DocumentRecord::journalIdentity(indexPath()), attached)
                         .append(card),
                     n);
        }
    }

    QString folder() const { return m_dir.path() + u'/'; }
    QString registerPath() const { return folder() + QStringLiteral("2026.prt"); }
    QString indexPath() const { return folder() + DocumentArchive::FileName; }
    QString attachment(const char* name) const {
        return folder() + AttachmentFolder::Name + u'/' + QString::fromLatin1(name);
    }
    RecordArchive protocol() const {
        return journaled(registerPath(), ProtocolRecord::layout(),
                         ProtocolRecord::journalIdentity(registerPath()));
    }
    RecordArchive documents() const {
        return journaled(indexPath(), DocumentRecord::layout(),
                         DocumentRecord::journalIdentity(indexPath()));
    }
    // Card `position` of the register with `field` changed, saved with the journal.
    void changeCard(int position, ProtocolRecord::Field field, const QString& text) const {
        ProtocolRecord card(protocol().read(position)->bytes());
        card.setText(field, text);
        QVERIFY(protocol().update(position, card));
    }

private:
    QTemporaryDir m_dir;
};

// Applies the named fault to the fixture.
void spoil(const Fixture& f, const QString& fault) {
    const int size = ProtocolRecord::layout().size();
    if (fault == QLatin1String("length byte")) {
        QFile file(f.registerPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        const FieldSpec& oggetto = ProtocolRecord::layout().field(ProtocolRecord::Oggetto);
        QVERIFY(file.seek(qint64(size) + oggetto.offset)); // card 2
        QVERIFY(file.write("\xFF", 1) == 1);
    } else if (fault == QLatin1String("partial")) {
        QFile file(f.indexPath());
        QVERIFY(file.open(QIODevice::Append));
        QVERIFY(file.write(QByteArray(100, 'x')) == 100);
    } else if (fault == QLatin1String("twice")) {
        f.changeCard(4, ProtocolRecord::Numero, QStringLiteral("3/2026"));
    } else if (fault == QLatin1String("skipped")) {
        f.changeCard(5, ProtocolRecord::Numero, QStringLiteral("8/2026"));
    } else if (fault == QLatin1String("no number")) {
        f.changeCard(5, ProtocolRecord::Numero, QString());
    } else if (fault == QLatin1String("no year, other year")) {
        // Both as the numbering may write them: without the year, or with today's year.
        f.changeCard(4, ProtocolRecord::Numero, QStringLiteral("4"));
        f.changeCard(5, ProtocolRecord::Numero, QStringLiteral("5/2025"));
    } else if (fault == QLatin1String("not a number")) {
        f.changeCard(5, ProtocolRecord::Numero, QStringLiteral("5 bis"));
    } else if (fault == QLatin1String("missing file")) {
        f.changeCard(3, ProtocolRecord::Copia, QStringLiteral("manca.pdf"));
    } else if (fault == QLatin1String("unnamed file")) {
        writeBytes(f.attachment("orfano.txt"), "nessuno");
    } else if (fault == QLatin1String("journal byte") || fault == QLatin1String("journal line")) {
        const QString journal = Journal::pathFor(f.registerPath());
        QList<QByteArray> lines = readBytes(journal).split('\n');
        // Line 3: the subject of the first card, a field entry inside its block.
        if (fault == QLatin1String("journal byte"))
            lines[2].replace("Pratica 1", "Pratica 9");
        else
            lines.removeAt(2);
        writeBytes(journal, lines.join('\n'));
    } else if (fault == QLatin1String("file changed")) {
        writeBytes(f.attachment("lettera.pdf"), "%PDF lettera, ritoccata");
    } else if (fault == QLatin1String("document file changed")) {
        writeBytes(f.attachment("contratto.pdf"), "%PDF contratto, ritoccato");
    } else if (fault == QLatin1String("file renamed on the card")) {
        // The fingerprint recorded is of the file the card named before: nothing to hold
        // the file named now to (the one named before is left to no card).
        f.changeCard(1, ProtocolRecord::Copia, QStringLiteral("contratto.pdf"));
    } else if (fault == QLatin1String("fingerprints line")) {
        const QString prints = Fingerprints::pathFor(f.registerPath());
        QByteArray bytes = readBytes(prints);
        QVERIFY(bytes.contains("lettera.pdf"));
        writeBytes(prints, bytes.replace("\tCopia\t", "\tCopia"));
    } else if (fault == QLatin1String("annulments header")) {
        writeBytes(Annulments::pathFor(f.registerPath()), "Non sono annullate\r\n");
    } else if (fault == QLatin1String("outside")) {
        ProtocolRecord card(
            RecordArchive(f.registerPath(), ProtocolRecord::layout()).read(2)->bytes());
        card.setText(ProtocolRecord::Note, QStringLiteral("scritto da un'altra copia"));
        QVERIFY(RecordArchive(f.registerPath(), ProtocolRecord::layout()).update(2, card));
    }
}

QString show(const Finding& f) {
    return QStringLiteral("%1 #%2 %3 [%4] %5")
        .arg(f.archive)
        .arg(f.position)
        .arg(f.card)
        .arg(int(f.problem))
        .arg(f.detail);
}

} // namespace

// The archive check over a sound folder finds nothing, and over a folder spoilt in one way
// finds exactly that, once, naming the archive and the card.
class TestArchiveCheck : public QObject {
    Q_OBJECT
private slots:
    void eachFaultIsFoundOnce_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QStringList>("expected"); // "archive #position card [problem]"
        const auto row = [](const char* name, QStringList faults, QStringList expected) {
            QTest::newRow(name) << faults << expected;
        };
        const auto at = [](const char* archive, int position, const char* card, Problem p) {
            return QStringLiteral("%1 #%2 %3 [%4]")
                .arg(archive)
                .arg(position)
                .arg(card)
                .arg(int(p));
        };
        row("sound folder", {}, {});
        row("length byte over the field", {"length byte"},
            {at("2026.prt", 2, "2/2026", Problem::DamagedRecord),
             at("2026.prt", 2, "2/2026", Problem::CardChangedOutside)});
        row("incomplete last record", {"partial"},
            {at("Schedario_Documenti.pro", 3, "", Problem::PartialRecord)});
        row("number given twice", {"twice"},
            {at("2026.prt", 4, "3/2026", Problem::NumberTwice),
             at("2026.prt", 5, "5/2026", Problem::NumbersSkipped)});
        row("numbers skipped", {"skipped"}, {at("2026.prt", 5, "8/2026", Problem::NumbersSkipped)});
        row("card without number", {"no number"}, {at("2026.prt", 5, "", Problem::NumberMissing)});
        row("numbers without the year or of another year", {"no year, other year"}, {});
        row("not a number", {"not a number"}, {at("2026.prt", 5, "5 bis", Problem::NumberMissing)});
        row("attachment missing", {"missing file"},
            {at("2026.prt", 3, "3/2026", Problem::AttachmentMissing)});
        row("file named by no card", {"unnamed file"},
            {at("Documenti_Allegati", 0, "", Problem::FileUnnamed)});
        row("journal line altered", {"journal byte"},
            {at("2026.prt", 0, "", Problem::JournalDamaged)});
        row("journal line removed", {"journal line"},
            {at("2026.prt", 0, "", Problem::JournalBroken)});
        row("attached file changed", {"file changed"},
            {at("2026.prt", 1, "1/2026", Problem::FingerprintChanged)});
        row("document's attached file changed", {"document file changed"},
            {at("Schedario_Documenti.pro", 2, "2", Problem::FingerprintChanged)});
        row("a card naming another file than its fingerprint's", {"file renamed on the card"},
            {at("Documenti_Allegati", 0, "", Problem::FileUnnamed)});
        row("fingerprints side file altered", {"fingerprints line"},
            {at("2026.prt", 0, "", Problem::SideFileDamaged)});
        row("annulments side file altered", {"annulments header"},
            {at("2026.prt", 0, "", Problem::SideFileDamaged)});
        row("card changed outside the program", {"outside"},
            {at("2026.prt", 2, "2/2026", Problem::CardChangedOutside)});
    }
    void eachFaultIsFoundOnce() {
        QFETCH(QStringList, faults);
        QFETCH(QStringList, expected);
        const Fixture fixture;
        for (const QString& fault : faults)
            spoil(fixture, fault);
        ArchiveCheck::Control control;
        const ArchiveCheck::Result result = ArchiveCheck::run(fixture.folder(), control);
        QVERIFY(!result.cancelled);
        QStringList found;
        for (const Finding& f : result.findings) {
            found << show(f);
            QVERIFY2(!f.detail.isEmpty(), qPrintable(show(f)));
        }
        QStringList heads;
        for (const QString& f : found)
            heads << f.section(u']', 0, 0) + u']';
        QCOMPARE(heads.size(), expected.size());
        for (const QString& e : expected)
            QVERIFY2(heads.contains(e), qPrintable(found.join(u'\n')));
        QCOMPARE(control.done.load(), control.total.load());
    }

    void theDetailsSayWhat_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("detail");
        QTest::newRow("length byte") << "length byte"
                                     << "lunghezza oltre lo spazio del campo: Oggetto";
        QTest::newRow("twice") << "twice"
                               << "il numero 3 è già della scheda in posizione 3";
        QTest::newRow("skipped") << "skipped"
                                 << "i numeri da 5 a 7 non sono stati dati a nessuna scheda";
        QTest::newRow("missing file") << "missing file"
                                      << "manca il file «manca.pdf» (copia digitale)";
        QTest::newRow("unnamed file") << "unnamed file"
                                      << "il file «orfano.txt» non è allegato a nessuna scheda";
        QTest::newRow("file changed")
            << "file changed"
            << "il file «lettera.pdf» (copia digitale) non è più quello allegato: la sua "
               "impronta SHA-256 è cambiata";
        QTest::newRow("fingerprints line")
            << "fingerprints line"
            << "la riga 2 del file delle impronte (2026.prt.impronte) è stata alterata";
        QTest::newRow("journal line")
            << "journal line"
            << "prima della riga 3 della cronologia delle modifiche (2026.prt.cronologia) una riga "
               "è stata tolta, aggiunta o spostata";
    }
    void theDetailsSayWhat() {
        QFETCH(QString, fault);
        QFETCH(QString, detail);
        const Fixture fixture;
        spoil(fixture, fault);
        ArchiveCheck::Control control;
        QStringList details;
        for (const Finding& f : ArchiveCheck::run(fixture.folder(), control).findings)
            details << f.detail;
        QVERIFY2(details.contains(detail), qPrintable(details.join(u'\n')));
    }

    void aCancelledCheckStops() {
        const Fixture fixture;
        ArchiveCheck::Control control;
        control.cancel = true;
        QVERIFY(ArchiveCheck::run(fixture.folder(), control).cancelled);
    }

    void theArchivesAreFoundByName() {
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        for (const char* name : {"2026.prt", "2024.prt", "bozza.prt", "20251.prt",
                                 "2025.prt.cronologia", "Schedario_Documenti.pro"})
            writeBytes(folder + QString::fromLatin1(name), {});
        QCOMPARE(ArchiveCheck::archivesIn(folder),
                 (QStringList{"2024.prt", "2026.prt", "Schedario_Documenti.pro"}));
    }
};

QTEST_GUILESS_MAIN(TestArchiveCheck)
#include "tst_ArchiveCheck.moc"
