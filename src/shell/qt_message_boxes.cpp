#include "qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace ruzez {

namespace {

using ButtonList = std::vector<std::pair<QMessageBox::StandardButton, int>>;

// The buttons of each Windows style, in their Windows order, with the answer each gives.
ButtonList buttonsOf(int style)
{
    switch (style & 0x7) {
    case vb::OKCancel:
        return {{QMessageBox::Ok, vb::OK}, {QMessageBox::Cancel, vb::Cancel}};
    case vb::AbortRetryIgnore:
        return {{QMessageBox::Abort, vb::Abort}, {QMessageBox::Retry, vb::Retry}, {QMessageBox::Ignore, vb::Ignore}};
    case vb::YesNoCancel:
        return {{QMessageBox::Yes, vb::Yes}, {QMessageBox::No, vb::No}, {QMessageBox::Cancel, vb::Cancel}};
    case vb::YesNo:
        return {{QMessageBox::Yes, vb::Yes}, {QMessageBox::No, vb::No}};
    case vb::RetryCancel:
        return {{QMessageBox::Retry, vb::Retry}, {QMessageBox::Cancel, vb::Cancel}};
    default:
        return {{QMessageBox::Ok, vb::OK}};
    }
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case vb::Critical: return QMessageBox::Critical;
    case vb::Question: return QMessageBox::Question;
    case vb::Exclamation: return QMessageBox::Warning;
    case vb::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// What closing the box without a button answers.
int escapeAnswer(const ButtonList &buttons)
{
    for (const auto &[button, answer] : buttons) {
        if (answer == vb::Cancel)
            return answer;
    }
    return buttons.size() == 1 ? buttons.front().second : buttons.back().second;
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget *parent)
    : m_parent(parent)
{
}

int QtMessageBoxes::MsgBox(const QString &text, int style, const QString &title)
{
    const ButtonList buttons = buttonsOf(style);
    QMessageBox box(iconOf(style), title, text, QMessageBox::NoButton, m_parent);
    QMessageBox::StandardButtons standard;
    for (const auto &[button, answer] : buttons)
        standard |= button;
    box.setStandardButtons(standard);
    box.setDefaultButton(buttons.front().first);
    box.exec();

    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto &[button, answer] : buttons) {
        if (button == clicked)
            return answer;
    }
    return escapeAnswer(buttons);
}

void QtMessageBoxes::Beep()
{
    QApplication::beep();
}

} // namespace ruzez
