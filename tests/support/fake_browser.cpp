#include "fake_browser.h"

#include <QRegularExpression>
#include <QTimer>

namespace ruzez::test {

FakeBrowser::FakeBrowser(QWidget *parent)
    : BrowserComponent(parent)
{
}

bool FakeBrowser::record(const QString &call)
{
    calls << call;
    return !failing;
}

void FakeBrowser::queue(std::function<void()> step)
{
    if (!autoComplete)
        return;
    m_pending << std::move(step);
    QTimer::singleShot(0, this, [this] { completePending(); });
}

bool FakeBrowser::completePending()
{
    if (m_pending.isEmpty())
        return false;
    const QList<std::function<void()>> steps = std::exchange(m_pending, {});
    for (const auto &step : steps)
        step();
    return true;
}

QString FakeBrowser::titleOf(const QString &url) const
{
    return titles.value(url, url);
}

void FakeBrowser::load(const QString &url)
{
    history = history.mid(0, position + 1);
    history << url;
    position = int(history.size()) - 1;
    show();
}

void FakeBrowser::show()
{
    if (position < 0 || position >= history.size())
        return;
    const QString url = history.at(position);
    busy = true;
    emit BeforeNavigate2(url);
    emit DownloadBegin();
    locationURL = url;
    locationName = titleOf(url);
    busy = false;
    emit NavigateComplete2();
    emit DownloadComplete();
}

QString FakeBrowser::lastNavigation() const
{
    static const QRegularExpression navigation(QStringLiteral("^Navigate2?\\((.*)\\)$"),
                                               QRegularExpression::DotMatchesEverythingOption);
    for (auto call = calls.crbegin(); call != calls.crend(); ++call) {
        const auto match = navigation.match(*call);
        if (match.hasMatch())
            return match.captured(1);
    }
    return {};
}

bool FakeBrowser::Navigate(const QString &address)
{
    if (!record(QStringLiteral("Navigate(%1)").arg(address)))
        return false;
    queue([this, address] { load(address); });
    return true;
}

bool FakeBrowser::Navigate2(const QString &address)
{
    if (!record(QStringLiteral("Navigate2(%1)").arg(address)))
        return false;
    queue([this, address] { load(address); });
    return true;
}

bool FakeBrowser::GoBack()
{
    if (!record(QStringLiteral("GoBack()")) || position <= 0)
        return false;
    --position;
    queue([this] { show(); });
    return true;
}

bool FakeBrowser::GoForward()
{
    if (!record(QStringLiteral("GoForward()")) || position + 1 >= history.size())
        return false;
    ++position;
    queue([this] { show(); });
    return true;
}

bool FakeBrowser::Refresh()
{
    if (!record(QStringLiteral("Refresh()")))
        return false;
    queue([this] { show(); });
    return true;
}

bool FakeBrowser::Refresh2()
{
    if (!record(QStringLiteral("Refresh2()")))
        return false;
    queue([this] { show(); });
    return true;
}

// Stopping abandons whatever was requested and not yet loaded.
bool FakeBrowser::Stop()
{
    if (!record(QStringLiteral("Stop()")))
        return false;
    m_pending.clear();
    busy = false;
    return true;
}

bool FakeBrowser::ExecWB(int command, int option)
{
    return record(QStringLiteral("ExecWB(%1,%2)").arg(command).arg(option));
}

void FakeBrowser::setStatusBar(bool visible)
{
    calls << QStringLiteral("StatusBar(%1)").arg(visible ? QStringLiteral("true") : QStringLiteral("false"));
    statusBar = visible;
}

} // namespace ruzez::test
