#pragma once

#include <QString>
#include <QWidget>

namespace ruzez {

// The embedded browser as the main window sees it: the members it calls
// and the events it handles, named as the window's handlers know them.
// Every call returns at once; the outcome arrives through the events.
// A call that cannot be carried out returns false and changes nothing;
// callers skip it and go on with their next step.
//
// The component is a widget: the window places it by its geometry.
class BrowserComponent : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
    ~BrowserComponent() override = default;

    // Loads an address in this component. The address is a text as the
    // program builds it: "file://" + root + page, a plain path, a path with
    // backslashes, or any URL; a "#fragment" is kept.
    virtual bool Navigate(const QString &address) = 0;
    virtual bool Navigate2(const QString &address) = 0;
    virtual bool GoBack() = 0;
    virtual bool GoForward() = 0;
    virtual bool Refresh() = 0;
    virtual bool Refresh2() = 0;
    virtual bool Stop() = 0;
    // ExecWB(kPrintCommand, kDefaultOption) prints the current page the
    // component's own way (a print dialog, then the page); kDontPromptUser
    // prints without asking.
    static constexpr int kPrintCommand = 6;
    static constexpr int kDefaultOption = 0;
    static constexpr int kDontPromptUser = 2;
    virtual bool ExecWB(int command, int option) = 0;

    virtual QString LocationName() const = 0;
    virtual QString LocationURL() const = 0;
    virtual bool Busy() const = 0;
    virtual void setStatusBar(bool visible) = 0;

signals:
    void StatusTextChange(const QString &text);
    void ProgressChange(int progress, int progressMax);
    void DownloadBegin();
    void DownloadComplete();
    void BeforeNavigate2(const QString &url);
    // Connected handlers run before the new window opens; setting *cancel
    // suppresses it.
    void NewWindow2(bool *cancel);
    void NavigateComplete2();
};

} // namespace ruzez
