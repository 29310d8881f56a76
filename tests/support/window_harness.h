#pragma once

#include "browser/help_engine.h"
#include "fake_browser.h"
#include "fake_drives.h"
#include "fake_message_boxes.h"
#include "shell/dialup_line.h"
#include "shell/window_frame.h"
#include "window/frm_browser.h"

#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <optional>

namespace ruzez::test {

// A dial-up line whose state the test sets; counts the hang-ups.
class ScriptedDialupLine final : public DialupLine
{
public:
    bool connected = false;
    int hangUps = 0;
    bool connexionactive() override { return connected; }
    void hangUp() override { ++hangUps; }
};

// A window manager whose frame the test sets; unless told, the frame Qt
// knows around the window now (the offscreen platform draws one too).
class FakeWindowFrame final : public WindowFrame
{
public:
    std::optional<QMargins> frame;
    QMargins normalFrame(QWidget &window) override
    {
        if (frame)
            return *frame;
        const QRect outer = window.frameGeometry();
        const QRect inner = window.geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
};

// Records every help request.
class RecordingHelpEngine final : public HelpEngine
{
public:
    struct Request
    {
        QString file;
        int command = 0;
    };
    QList<Request> requests;
    void showHelp(const QString &file, int command) override { requests.append({file, command}); }
};

// The main window over fakes, in a temporary program folder, with a
// temporary course disc on the one drive (re2rira/partages/index.html
// present unless the test removes it).
class WindowHarness
{
public:
    // The window manager's frame is `frameOverride` when given, else `frame`.
    explicit WindowHarness(const QString &programFolderOverride = {},
                           WindowFrame *frameOverride = nullptr);

    QString programFolder() const;
    // The disc's root, as racinesite starts.
    QString discRoot() const;
    // Writes the exchange file with `activity` in record 26.
    void writeActivity(const QByteArray &activity);
    // Runs the event loop until the fake has no queued navigation left.
    void settle();

    QTemporaryDir program;
    QTemporaryDir disc;
    FakeMessageBoxes boxes;
    FakeDrives drives;
    ScriptedDialupLine dialup;
    RecordingHelpEngine help;
    FakeWindowFrame frame;
    int programEnded = 0;
    FakeBrowser *browser = nullptr;
    std::unique_ptr<frmBrowser> window;

private:
    QString m_programFolder;
};

} // namespace ruzez::test
