#include "page_script.h"

#include <QTest>
#include <QWebEnginePage>

namespace ruzez::test {

QVariant runJavaScript(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, kEngineTimeout))
        qWarning("script did not answer");
    return result;
}

} // namespace ruzez::test
