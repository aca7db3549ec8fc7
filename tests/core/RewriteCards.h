#pragma once

#include "core/ProtocolRecord.h"

#include <QString>

// The versions of a card that the killed-writer tests rewrite: every field of the record is
// filled, each with its own text, so that a record mixing two versions never equals one.
inline ProtocolRecord rewriteCard(int position, QChar version) {
    ProtocolRecord card;
    const RecordLayout& layout = ProtocolRecord::layout();
    for (int f = 0; f < layout.fieldCount(); ++f) {
        const QString text = QStringLiteral("%1%2-%3 ").arg(version).arg(position).arg(f);
        card.Record::setText(f, text.repeated(layout.field(f).capacity / int(text.size()) + 1));
    }
    return card;
}
