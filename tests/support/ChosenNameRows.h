#pragma once

#include "StoredNames.h"

#include <QFile>
#include <QTest>

// The rows of a card window's table of chosen names: the digital copy and the further
// attachments, each with every case that can be made on the disk.
inline void addChosenNameRows() {
    QTest::addColumn<bool>("further");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("stored");
    for (bool further : {false, true}) {
        for (const StoredNameCase& c : storedNameCases()) {
            if (c.onDisk)
                QTest::addRow("%s, %s", further ? "further" : "digital copy", c.row)
                    << further << c.original << c.stored;
        }
    }
}

// In a test function: the user's file `source` was made, or, where this system's file names
// cannot take it (a colon, a star, a device name on Windows), the row is skipped, since no
// user of the system can choose such a file.
#ifdef Q_OS_WIN
#define REQUIRE_CHOSEN_FILE(source)                                                                \
    do {                                                                                           \
        if (!QFile::exists(source))                                                                \
            QSKIP("this system's file names cannot take it");                                      \
    } while (false)
#else
#define REQUIRE_CHOSEN_FILE(source) QVERIFY(QFile::exists(source))
#endif
