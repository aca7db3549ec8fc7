#pragma once

#include "core/Fingerprints.h"

#include <QList>
#include <QString>

class Record;

// A card window as the windows it opens see it: they load a chosen card into it, read what
// its controls show, and find its archive file, without knowing which archive it is.
class CardTarget {
public:
    virtual ~CardTarget() = default;

    // CaricaScheda: shows `record` as the stored card at 1-based `position`.
    virtual void loadCard(const Record& record, int position) = 0;
    // The text the control named `controlName` ("txtNumero") shows now, saved or not.
    virtual QString fieldText(const QString& controlName) const = 0;
    // The full path of the archive file the window works on.
    virtual QString archivePath() const = 0;
    // The files the card shown names, with their fingerprints, in field order.
    virtual QList<Fingerprints::Shown> attachedFiles() const { return {}; }
};
