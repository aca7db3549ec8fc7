// Appends cards to a register as a separate process: append_worker PATH NAME COUNT.
// Card n carries the number "NAME-n" and a subject that repeats it to the full field, so a
// card torn by another writer shows.
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const RecordArchive archive(args[1], ProtocolRecord::layout());
    const int count = args[3].toInt();
    for (int n = 1; n <= count; ++n) {
        const QString number = QStringLiteral("%1-%2").arg(args[2]).arg(n);
        ProtocolRecord card;
        card.setText(ProtocolRecord::Numero, number);
        card.setText(ProtocolRecord::Oggetto, (number + u' ').repeated(40));
        card.setText(ProtocolRecord::Desc03, number);
        if (!archive.append(card)) {
            std::fprintf(stderr, "append %d failed\n", n);
            return 1;
        }
    }
    return 0;
}
