#pragma once

#include <QString>

namespace ruzez {

// Message boxes and the system beep. Styles and answers keep the Windows
// numbers the course's dialogs were designed with, so a call reads as the
// dialog it shows: MsgBox(text, vb::RetryCancel + vb::Exclamation, title).
namespace vb {
// Buttons
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int AbortRetryIgnore = 2;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int RetryCancel = 5;
// Icons
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
// Answers
inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace vb

class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the answer (vb::OK, vb::Retry...).
    // Closing the box counts as Cancel (or No, or OK where that is the
    // only way out).
    virtual int MsgBox(const QString &text, int style, const QString &title) = 0;
    virtual void Beep() = 0;
};

// The one form of every file failure the user sees.
inline const QString kWriteFailureTitle = QStringLiteral("Ecriture impossible sur disque");

} // namespace ruzez
