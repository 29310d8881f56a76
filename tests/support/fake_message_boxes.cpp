#include "fake_message_boxes.h"

namespace ruzez::test {

int FakeMessageBoxes::MsgBox(const QString &text, int style, const QString &title)
{
    calls.append({text, style, title});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    const int buttons = style & 0x7;
    return (buttons == vb::OKOnly) ? vb::OK : (buttons == vb::YesNo ? vb::No : vb::Cancel);
}

} // namespace ruzez::test
