#pragma once

#include "shell/message_boxes.h"

#include <QList>
#include <QString>

namespace ruzez::test {

// Records every box shown and answers from a script; once the script is
// used up it answers with the box's escape answer (Cancel or OK).
class FakeMessageBoxes final : public MessageBoxes
{
public:
    struct Call
    {
        QString text;
        int style = 0;
        QString title;
    };

    void answerWith(std::initializer_list<int> answers) { m_answers += QList<int>(answers); }

    int MsgBox(const QString &text, int style, const QString &title) override;
    void Beep() override { ++beeps; }

    QList<Call> calls;
    int beeps = 0;

private:
    QList<int> m_answers;
};

} // namespace ruzez::test
