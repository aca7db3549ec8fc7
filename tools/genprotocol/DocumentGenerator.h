#pragma once

#include "core/DocumentRecord.h"

#include <QString>
#include <QtGlobal>
#include <array>

// Makes document card indexes with realistic Italian contents, for tests, benchmarks and
// for looking at the program with real-looking data: contracts, minutes, resolutions,
// circulars, appraisals, invoices, quotes, certificates, plans, notarial deeds, technical
// reports and more, from people, firms, professional studios and public bodies.
//
// Every card depends only on (seed, year, index, count): the same arguments give the same
// bytes on every platform and Qt version, and card(i, n) never needs the cards before it.
class DocumentGenerator {
public:
    using Texts = std::array<QString, DocumentRecord::FieldCount>;

    // `year` (clamped to 1900..9999) is the year the documents are produced in.
    DocumentGenerator(quint32 seed, int year);

    quint32 seed() const { return m_seed; }
    int year() const { return m_year; }

    // The texts of the card at 0-based `index` of an index of `count` cards, in field
    // order, as the card holds them: trimmed, in Windows-1252 and within their fields, so
    // storing them cuts nothing. Production dates run over the year roughly with the index;
    // about one card in five is marked to be completed.
    Texts texts(int index, int count) const;
    DocumentRecord card(int index, int count) const;

    // Cards whose long texts (name, subject, dossier, addresses, enclosures, references,
    // cited subjects, notes, attachment names and descriptions, and more) are filled to
    // capacity: one every 50, the first being index 9.
    static bool isFullCard(int index) { return index % 50 == 9; }

    // Writes a whole index of `count` cards (replacing the file). On failure returns
    // false, leaves any existing file untouched and describes the problem in `error`.
    bool writeIndex(const QString& path, int count, QString* error = nullptr) const;

private:
    quint32 m_seed;
    int m_year;
    int m_home;  // the city of the organisation that keeps the index
    int m_owner; // that organisation
};
