#pragma once

// Loads and clicks of the pupil on a page of the real engine, for the page
// policy's tests.

#include "browser/web_engine_browser.h"
#include "page_script.h"

#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>

#include <functional>

namespace ruzez::test {

inline bool load(WebEngineBrowser &browser, const QString &address)
{
    QSignalSpy complete(&browser, &BrowserComponent::DownloadComplete);
    return browser.Navigate(address) && complete.wait(kEngineTimeout)
        && QTest::qWaitFor([&] { return !browser.Busy(); }, kEngineTimeout);
}

inline QWebEngineView *viewOf(WebEngineBrowser &browser) { return browser.findChild<QWebEngineView *>(); }

// A real click of the pupil on the element with that id.
inline void clickOn(WebEngineBrowser &browser, const QString &id)
{
    const QVariantList box = test::runJavaScript(browser.page(),
        QStringLiteral("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                       "return [r.left + 3, r.top + 3];})()").arg(id)).toList();
    QVERIFY(box.size() == 2);
    QWidget *target = viewOf(browser)->focusProxy();
    QVERIFY(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(box[0].toInt(), box[1].toInt()));
}

// Clicks until the page reacts: the first clicks may come before the
// page is ready for input.
inline bool clickUntil(WebEngineBrowser &browser, const QString &id, const std::function<bool()> &reacted)
{
    for (int attempt = 0; attempt < 20 && !reacted(); ++attempt) {
        clickOn(browser, id);
        (void)QTest::qWaitFor(reacted, 1000);
    }
    return reacted();
}

} // namespace ruzez::test
