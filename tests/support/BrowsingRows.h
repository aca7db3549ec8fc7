#pragma once

#include <QTest>

// The rows of a browsing test over a 3-card archive: columns "from" (a position, "" for a
// new card), "command" (the toolbar button) and "to" (the position after it).
inline void addBrowsingRows() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("to");
    const char* commands[] = {"cmdPrimo", "cmdIndietro", "cmdAvanti", "cmdUltimo"};
    // Expected position for each command, from a new card and from cards 1, 2, 3.
    const char* expected[4][4] = {
        {"1", "1", "1", "3"}, // new card
        {"1", "1", "2", "3"}, // card 1
        {"1", "1", "3", "3"}, // card 2
        {"1", "2", "3", "3"}, // card 3
    };
    const char* starts[] = {"", "1", "2", "3"};
    for (int s = 0; s < 4; ++s)
        for (int c = 0; c < 4; ++c)
            QTest::addRow("%s from %s", commands[c], *starts[s] ? starts[s] : "new")
                << QString::fromLatin1(starts[s]) << QString::fromLatin1(commands[c])
                << QString::fromLatin1(expected[s][c]);
}
