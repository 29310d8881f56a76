#pragma once

#include "browser/browser_component.h"

#include <QHash>
#include <QStringList>

#include <functional>

namespace ruzez::test {

// A browser component driven by the test. Every call is recorded as text
// ("Navigate(a)", "GoBack()", "ExecWB(6,0)", "StatusBar(false)"). With
// autoComplete, each request completes by itself once the event loop runs,
// with the events a real page load sends, in their order; a test can also
// emit any sequence itself. It keeps a small history, so going back from
// the first page fails as it does in a real browser.
class FakeBrowser final : public BrowserComponent
{
    Q_OBJECT

public:
    explicit FakeBrowser(QWidget *parent = nullptr);

    QStringList calls;
    QString locationName;
    QString locationURL;
    bool busy = false;
    bool statusBar = true;
    bool autoComplete = false;
    // Every call fails and changes nothing.
    bool failing = false;
    // Page titles by address; an address without one is its own title.
    QHash<QString, QString> titles;
    QStringList history;
    int position = -1;

    // Completes a navigation to `url` as a followed link does: a new entry
    // in the history, then BeforeNavigate2, DownloadBegin, NavigateComplete2
    // and DownloadComplete.
    void load(const QString &url);
    // The loading events for the history entry at `position` (back, forward,
    // refresh).
    void show();
    // Runs the requests queued by autoComplete. False when none was queued.
    bool completePending();
    int pendingCount() const { return int(m_pending.size()); }
    // The address of the last Navigate or Navigate2 call, empty when none.
    QString lastNavigation() const;

    bool Navigate(const QString &address) override;
    bool Navigate2(const QString &address) override;
    bool GoBack() override;
    bool GoForward() override;
    bool Refresh() override;
    bool Refresh2() override;
    bool Stop() override;
    bool ExecWB(int command, int option) override;
    QString LocationName() const override { return locationName; }
    QString LocationURL() const override { return locationURL; }
    bool Busy() const override { return busy; }
    void setStatusBar(bool visible) override;

private:
    bool record(const QString &call);
    void queue(std::function<void()> step);
    QString titleOf(const QString &url) const;

    QList<std::function<void()>> m_pending;
};

} // namespace ruzez::test
