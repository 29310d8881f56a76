#pragma once

#include <QString>
#include <QVariant>

class QWebEnginePage;

namespace ruzez::test {

// How long a test waits for the web engine before it gives up.
inline constexpr int kEngineTimeout = 30000;

// Runs a script in the page and waits for its value (invalid when the
// engine did not answer in time).
QVariant runJavaScript(QWebEnginePage *page, const QString &script);

} // namespace ruzez::test
