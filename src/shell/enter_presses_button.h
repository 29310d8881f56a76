#pragma once

#include <QObject>

class QAbstractButton;

namespace ruzez {

// Enter on a focused button presses it, as Space does: on the course's
// first platform Enter pressed the focused command button, and a pupil who
// works from the keyboard depends on it.
class EnterPressesButton : public QObject
{
    Q_OBJECT

public:
    // The button owns the filter.
    explicit EnterPressesButton(QAbstractButton *button);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractButton *m_button;
};

inline void pressOnEnter(QAbstractButton *button)
{
    new EnterPressesButton(button);
}

} // namespace ruzez
