#pragma once

#include "core/ProtocolRecord.h"

#include <QDate>
#include <QString>
#include <QtGlobal>
#include <vector>

// Makes protocol registers with realistic Italian contents, for tests, benchmarks and for
// looking at the program with real-looking data.
//
// Every card depends only on (seed, year, index, count): the same arguments give the same
// bytes on every platform and Qt version, and card(i, n) never needs the cards before it.
class ProtocolGenerator {
public:
    // `year` is clamped to 1900..9999.
    ProtocolGenerator(quint32 seed, int year);

    quint32 seed() const { return m_seed; }
    int year() const { return m_year; }

    // The card at 0-based `index` of a register of `count` cards. Its number is index + 1
    // ("12/2026", now and then a plain "12"); registration dates run over the working days
    // of the year and never decrease with the index.
    ProtocolRecord card(int index, int count) const;

    // Cards whose free-text fields (Oggetto, Note, Riferimenti, Collocazione, Mittente,
    // Destinatario, their addresses, Copia, File01-03, Desc01-03) are filled to capacity:
    // one every 50, the first being index 9.
    static bool isFullCard(int index) { return index % 50 == 9; }

    // Writes a whole register of `count` cards (replacing the file). On failure returns
    // false, leaves any existing file untouched and describes the problem in `error`.
    bool writeRegister(const QString& path, int count, QString* error = nullptr) const;

private:
    QDate registrationDate(int index, int count) const;

    quint32 m_seed;
    int m_year;
    int m_home; // the city the office is in
    std::vector<QDate> m_workingDays;
};
