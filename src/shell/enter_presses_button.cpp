#include "shell/enter_presses_button.h"

#include <QAbstractButton>
#include <QKeyEvent>

namespace ruzez {

EnterPressesButton::EnterPressesButton(QAbstractButton *button)
    : QObject(button)
    , m_button(button)
{
    button->installEventFilter(this);
}

bool EnterPressesButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_button || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const auto modifiers = key->modifiers() & ~Qt::KeypadModifier;
    if (!enter || modifiers != Qt::NoModifier)
        return false;
    // Held down, the key presses the button once, as Space does.
    if (!key->isAutoRepeat() && m_button->isEnabled())
        m_button->animateClick();
    return true;
}

} // namespace ruzez
