#pragma once

// The field table of a card window: one row per text field of the card, saying which record
// field it shows, where it stands and how it behaves. Each archive writes its table once;
// CardWindow builds the card from it and runs the empty card, the load rule, the filling of
// a record and the checks before a save over it.

// How a card window marks the field that has the keyboard focus: one choice per archive.
enum class FocusLook {
    Halo,      // a yellow halo behind the field (FocusHalo)
    Colouring, // the field's own background, alice blue and yellow (FieldColouring)
};

// What Enter does in a card field; it never types into it.
struct EnterKey {
    enum Kind {
        Nothing,
        MovesTo,      // the focus moves to the control named `target`
        OpensCalendar // a date field: like any other key, Enter opens the date import window
    };
    Kind kind = Nothing;
    const char* target = nullptr;
};

// The hint of every date field of both card windows.
inline constexpr const char* kDateFieldHint =
    "Fai clic su questo campo e premi un tasto qualsiasi per importare una data dal calendario.";

struct CardField {
    enum Flag : unsigned {
        Centred = 1u << 0,
        // The empty card leaves it as it is (the protocol's office and operator).
        Kept = 1u << 1,
        // The read-only name of the digital copy, which the attachment strip serves.
        Attachment = 1u << 2,
        // Without the window's focus look.
        NoFocusLook = 1u << 3,
    };

    int field;                   // index in the record layout; the capacity is the maximum length
    const char* control;         // "txtNumero"
    const char* captionName;     // "lblCampo001"
    const char* caption;         // UTF-8
    int x = 0, y = 0, width = 0; // in panContainer; every field is 22 high
    bool captionLeft = false;    // false: 18 above the field; true: on its line, to its left
    EnterKey enter;
    unsigned flags = 0;
    const char* dateTag = nullptr;  // a date field: the date import window's tag ("datareg")
    const char* hint = nullptr;     // UTF-8, for the hint line
    const char* required = nullptr; // UTF-8: the warning when the field is blank at a save

    constexpr CardField(int recordField, const char* controlName, const char* captionLabel,
                        const char* captionText, int left, int top, int fieldWidth)
        : field(recordField), control(controlName), captionName(captionLabel), caption(captionText),
          x(left), y(top), width(fieldWidth) {}

    constexpr CardField enterTo(const char* target) const {
        CardField row = *this;
        row.enter = {EnterKey::MovesTo, target};
        return row;
    }
    // A read-only date field filled from the date import window with `tag`; Backspace and
    // Delete empty it.
    constexpr CardField date(const char* tag) const {
        CardField row = *this;
        row.dateTag = tag;
        row.enter = {EnterKey::OpensCalendar, nullptr};
        row.hint = kDateFieldHint;
        return row;
    }
    constexpr CardField withCaptionLeft() const {
        CardField row = *this;
        row.captionLeft = true;
        return row;
    }
    constexpr CardField withFlags(unsigned added) const {
        CardField row = *this;
        row.flags |= added;
        return row;
    }
    constexpr CardField withHint(const char* text) const {
        CardField row = *this;
        row.hint = text;
        return row;
    }
    constexpr CardField requiredWith(const char* warning) const {
        CardField row = *this;
        row.required = warning;
        return row;
    }
};
