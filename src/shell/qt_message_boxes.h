#pragma once

#include "message_boxes.h"

class QWidget;

namespace ruzez {

// Real message boxes: QMessageBox with the caller's text, title, buttons
// and icon, modal over the given parent.
class QtMessageBoxes final : public MessageBoxes
{
public:
    explicit QtMessageBoxes(QWidget *parent = nullptr);
    void setParent(QWidget *parent) { m_parent = parent; }

    int MsgBox(const QString &text, int style, const QString &title) override;
    void Beep() override;

private:
    QWidget *m_parent = nullptr;
};

} // namespace ruzez
