#pragma once

#include "StoredNames.h"

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
