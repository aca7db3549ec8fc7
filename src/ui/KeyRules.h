#pragma once

#include <QObject>
#include <functional>

class QLineEdit;
class QWidget;

// The key conventions of the windows' fields.
namespace KeyRules {

// Enter runs `action` and types nothing.
void onEnter(QWidget* field, std::function<void()> action);

// Enter moves the focus to `next` (nothing when `next` is null) and types nothing.
void enterMovesTo(QWidget* field, QWidget* next);

// Only digits, Backspace, Delete and the left and right arrows reach the field; Enter
// moves the focus to `button`; every other key is swallowed.
void digitsOnly(QLineEdit* field, QWidget* button);

} // namespace KeyRules

// A read-only date field: Backspace or Delete empties it; any other key asks for the
// calendar instead of typing. Tab and lone modifier keys keep their ordinary meaning.
class DateField : public QObject {
    Q_OBJECT
public:
    static DateField* attach(QLineEdit* field);

signals:
    void importRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DateField(QLineEdit* field);
    QLineEdit* m_field;
};
