#pragma once

#include "Report.h"
#include "core/Fingerprints.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

// A printed card: one A4 portrait page with a title bar, one framed row per field (label on
// the left, value on the right) and a footer with the moment of printing. A form is data;
// its page is laid out from the row count, so each archive's card print is a table.
namespace CardForm {

// One piece of a row's value: the text of the card window's control of that name, trimmed,
// or a fixed text printed as it is.
struct Part {
    enum Kind { Field, Fixed };
    Kind kind = Field;
    QString text; // the control's name ("txtFormato") or the fixed text

    static Part field(const QString& controlName) { return {Field, controlName}; }
    static Part fixed(const QString& text) { return {Fixed, text}; }
};

struct Row {
    QString label;         // "Protocollo n."
    QList<Part> value;     // joined in order
    double labelWidth = 0; // mm
    QString labelName;     // "Memo1"
    QString frameName;     // "Shape2"
    QString valueName;     // "txtNumero": the name of the card window's control it shows
};

struct Form {
    QString name;  // the report's name ("Scheda Protocollo")
    QString title; // the title bar's text
    QList<Row> rows;
    // A control whose text, when there is one, is printed below the footer in a red box:
    // the mark of an annulled card ("lblAnnullata"), its first line large, the others
    // wrapped to the page. None: no such box.
    QString markName = {};
};

// The card window as the print sees it: the text its control of that name shows now.
using FieldSource = std::function<QString(const QString& controlName)>;

// The page of `form`, its values empty and its footer "Data e ora stampa".
Report::Template layout(const Form& form);

// Fills the values of a page laid out from `form` with what `field` gives, and the footer
// with "Stampa eseguita in data dd/mm/yyyy alle ore HH:mm:ss".
void fill(Report::Template& page, const Form& form, const FieldSource& field,
          const QDateTime& printedAt);

// Below the form's footer, when the card names any file: a title bar and one framed row
// per attached file, its caption and "SHA-256  name" as a checksum tool lists them.
void addFingerprints(Report::Template& page, const Form& form,
                     const QList<Fingerprints::Shown>& files);

} // namespace CardForm
