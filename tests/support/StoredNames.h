#pragma once

#include "core/AttachmentFolder.h"
#include "core/Cp1252.h"
#include "core/TextField.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

// Names of chosen files and the names they get in the attachments folder, for the rule's own
// test and for each window that attaches files.
struct StoredNameCase {
    const char* row;
    QString original;
    QString stored;
    // False when this system cannot hold a file of the original name (too long in UTF-8).
    bool onDisk = true;
};

inline QList<StoredNameCase> storedNameCases() {
    const QString aaa = QString(251, u'a');
    const QString eee = QString(130, QChar(0xE8));
    return {
        {"Cyrillic", QStringLiteral("Договор.pdf"), QStringLiteral("_~d34d7f12.pdf")},
        {"other Cyrillic", QStringLiteral("Справка.pdf"), QStringLiteral("_~5892bc85.pdf")},
        {"255 bytes", aaa + QStringLiteral(".pdf"),
         aaa.left(237) + QStringLiteral("~a49e1817.pdf")},
        {"too long in UTF-8", eee + QStringLiteral(".pdf"),
         eee.left(121) + QStringLiteral("~76f433e7.pdf"), false},
        {"device with extension", QStringLiteral("CON.txt"), QStringLiteral("CON~d26355c3.txt")},
        {"device, small letters", QStringLiteral("nul"), QStringLiteral("nul~9bbc20b0")},
        {"device before two dots", QStringLiteral("CON.tar.gz"),
         QStringLiteral("CON_.tar~11e1ed0c.gz")},
        {"device, superscript, space", QStringLiteral("LPT\u00B9 .doc"),
         QStringLiteral("LPT\u00B9 ~df5c2a5f.doc")},
        {"colon", QStringLiteral("a:b.pdf"), QStringLiteral("a_b~5066e12e.pdf")},
        {"dot at the end", QStringLiteral("fine."), QStringLiteral("fine~e62e19f8")},
        {"space at the end", QStringLiteral("fine "), QStringLiteral("fine~60d4b2e5")},
        {"blanks around", QStringLiteral(" fattura.pdf "), QStringLiteral("fattura~a5da94ee.pdf")},
        {"question mark and star", QStringLiteral("che?*.pdf"),
         QStringLiteral("che_~76d9de78.pdf")},
        {"tab", QStringLiteral("a\tb.pdf"), QStringLiteral("a_b~1a03c6f8.pdf")},
        {"only characters no name takes", QStringLiteral("?*<>|\""), QStringLiteral("_~09539e16")},
        {"best fit letters", QStringLiteral("Zażółć–€.pdf"),
         QStringLiteral("Zazólc–€~9c357c42.pdf")},
        {"valid, kept byte for byte", QStringLiteral("Verbale n. 3 (bozza) – ¼ €.pdf"),
         QStringLiteral("Verbale n. 3 (bozza) – ¼ €.pdf")},
        {"accented Italian, kept", QStringLiteral("Perché è così.pdf"),
         QStringLiteral("Perché è così.pdf")},
        {"250 bytes, kept", QString(246, u'b') + QStringLiteral(".pdf"),
         QString(246, u'b') + QStringLiteral(".pdf")},
    };
}

// Why `name` cannot be a name in the attachments folder; empty when it can. Written apart
// from the rule, from what Windows, Linux and the card's name field take.
inline QString whyNotStorable(const QString& name) {
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|CONIN\\$|CONOUT\\$|(COM|LPT)[0-9\u00B9\u00B2\u00B3]) *"
                       "(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (name.isEmpty())
        return QStringLiteral("empty");
    if (name.size() > AttachmentFolder::NameCapacity)
        return QStringLiteral("longer than the name field");
    if (name.toUtf8().size() > 255)
        return QStringLiteral("longer than 255 bytes in UTF-8");
    if (Cp1252::decode(Cp1252::encode(name)) != name)
        return QStringLiteral("outside Windows-1252");
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F ||
            (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            return QStringLiteral("control character");
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            return QStringLiteral("character Windows refuses: ") + c;
    }
    if (name.startsWith(u' '))
        return QStringLiteral("blank at the start");
    if (name.endsWith(u' ') || name.endsWith(u'.'))
        return QStringLiteral("dot or space at the end");
    if (device.match(name).hasMatch())
        return QStringLiteral("device name");
    if (!AttachmentFolder::isBareName(name))
        return QStringLiteral("not a bare name");
    if (Cp1252::decode(TextField::storedBytes(name, AttachmentFolder::NameCapacity)) != name)
        return QStringLiteral("changed by the field's store rule");
    return {};
}
