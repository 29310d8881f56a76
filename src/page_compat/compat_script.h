#pragma once

#include <QString>
#include <QWebEngineScript>

namespace ruzez {

// The script that gives course pages what the old page engine offered them
// (scripts/*.js, in this order): its objects and calls, the XML control, the
// filter effects, the symbol faces, cookies and the page's messages to us.
// It runs in every frame before the page's own scripts, and acts only on
// local files: a page of the web meets the engine as it is.
QString compatScriptSource();
QWebEngineScript compatScript();

inline const QString kCompatScriptName = QStringLiteral("ruzez-page-compat");

} // namespace ruzez
