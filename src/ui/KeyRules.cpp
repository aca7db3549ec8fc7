#include "KeyRules.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <functional>

namespace {

// Runs `rule` on every key press of the watched field; true swallows the key.
class KeyFilter : public QObject {
public:
    KeyFilter(QWidget* field, std::function<bool(QKeyEvent*)> rule)
        : QObject(field), m_rule(std::move(rule)) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        return event->type() == QEvent::KeyPress && m_rule(static_cast<QKeyEvent*>(event));
    }

private:
    std::function<bool(QKeyEvent*)> m_rule;
};

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

namespace KeyRules {

void onEnter(QWidget* field, std::function<void()> action) {
    new KeyFilter(field, [action = std::move(action)](QKeyEvent* key) {
        if (!isEnter(key))
            return false;
        action();
        return true;
    });
}

void enterMovesTo(QWidget* field, QWidget* next) {
    onEnter(field, [next] {
        if (next)
            next->setFocus(Qt::OtherFocusReason);
    });
}

void digitsOnly(QLineEdit* field, QWidget* button) {
    new KeyFilter(field, [button](QKeyEvent* key) {
        if (isEnter(key)) {
            if (button)
                button->setFocus(Qt::OtherFocusReason);
            return true;
        }
        switch (key->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return false;
        default:
            break;
        }
        const QString text = key->text();
        const bool digit = text.size() == 1 && text[0] >= u'0' && text[0] <= u'9' &&
                           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        return !digit;
    });
}

} // namespace KeyRules

DateField* DateField::attach(QLineEdit* field) {
    return new DateField(field);
}

DateField::DateField(QLineEdit* field) : QObject(field), m_field(field) {
    field->setReadOnly(true);
    field->installEventFilter(this);
}

bool DateField::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        m_field->clear();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
    case Qt::Key_CapsLock:
        return false;
    default:
        emit importRequested();
        return true;
    }
}
