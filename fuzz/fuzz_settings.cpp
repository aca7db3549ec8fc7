// The settings file is plain text that users and other tools edit: any bytes must read
// without fault, each value from one line and within the reader's length, and reading a
// key alone or among others must give the same value.
#include "core/Cp1252.h"
#include "core/IniFile.h"
#include "core/Settings.h"

#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_settings: %s\n", what);
        std::abort();
    }
}

// The names below are those of the delivered file, which existing installations keep; a
// file read by the program once shows that they are the program's too.
const QString kNumbering = QStringLiteral("Numerazione Protocollo");
const QString kStart = QStringLiteral("Inizio");
const QString kYearAfterNumber = QStringLiteral("Indicazione Anno Solare");
const QString kProtocolCard = QStringLiteral("Protocollo Documenti");
const QString kOffice = QStringLiteral("Ufficio");
const QString kOperator = QStringLiteral("Operatore");

struct Lookup {
    QString section;
    QStringList keys;
};

void lookUp(QByteArrayView bytes, const Lookup& lookup) {
    const QStringList values = IniFile::valuesIn(bytes, lookup.section, lookup.keys);
    check(values.size() == lookup.keys.size(), "one value per key");
    for (qsizetype k = 0; k < values.size(); ++k) {
        check(values[k].size() <= IniFile::kMaxValueLength, "value longer than the reader's");
        check(!values[k].contains(u'\n'), "value runs over a line end");
        if (values.size() > 1) {
            const QStringList alone = IniFile::valuesIn(bytes, lookup.section, {lookup.keys[k]});
            check(alone.size() == 1 && alone[0] == values[k], "key read alone reads differently");
        }
    }
}

// The first "[section]" of the input and the first key after it, so that the lookups
// also hit names the program does not know.
Lookup fromInput(QByteArrayView bytes) {
    Lookup lookup;
    const qsizetype open = bytes.indexOf('[');
    if (open < 0)
        return lookup;
    const qsizetype close = bytes.indexOf(']', open);
    if (close < 0)
        return lookup;
    lookup.section = Cp1252::decode(bytes.sliced(open + 1, close - open - 1));
    const qsizetype eq = bytes.indexOf('=', close);
    if (eq < 0)
        return lookup;
    const qsizetype lf = bytes.first(eq).lastIndexOf('\n');
    const qsizetype start = lf < close ? close + 1 : lf + 1;
    lookup.keys = {Cp1252::decode(bytes.sliced(start, eq - start)), kStart};
    return lookup;
}

void checkNamesAgainstTheProgram() {
    const QByteArray bytes = "[Numerazione Protocollo]\r\nInizio=100\r\n"
                             "Indicazione Anno Solare=S\xEC\r\n\r\n"
                             "[Protocollo Documenti]\r\nUfficio=Segreteria\r\n"
                             "Operatore=Rossi Maria\r\n";
    const QTemporaryDir dir;
    QFile file(dir.filePath(Settings::FileName));
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(),
          "cannot write a settings file");
    file.close();
    const Settings settings(file.fileName());
    const Settings::Numbering numbering = settings.numbering();
    const Settings::ProtocolCard card = settings.protocolCard();
    check(numbering.start == QStringLiteral("100") && numbering.yearAfterNumber == Settings::Yes &&
              card.office == QStringLiteral("Segreteria") &&
              card.operatorName == QStringLiteral("Rossi Maria"),
          "the program reads the delivered file differently");
    check(IniFile::valuesIn(bytes, kNumbering, {kStart, kYearAfterNumber}) ==
                  QStringList{numbering.start, numbering.yearAfterNumber} &&
              IniFile::valuesIn(bytes, kProtocolCard, {kOffice, kOperator}) ==
                  QStringList{card.office, card.operatorName},
          "the names here are not the program's");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    checkNamesAgainstTheProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    static const QList<Lookup> known = {
        {kNumbering, {kStart, kYearAfterNumber}},
        {kProtocolCard, {kOffice, kOperator}},
        // The credential file is read with the same reader.
        {QStringLiteral("Accesso"), {QStringLiteral("Valore")}},
        {QString(), {QString()}},
    };
    for (const Lookup& lookup : known)
        lookUp(bytes, lookup);
    lookUp(bytes, fromInput(bytes));
    return 0;
}
