#include "page_compat/compat_script.h"

#include <QFile>

static void initPageCompatResources()
{
    Q_INIT_RESOURCE(page_compat);
}

namespace ruzez {

namespace {

const char *const kParts[] = {"ie_objects", "ie_xml", "ie_filters", "symbol_tables", "symbol_fonts", "ie_pages"};

QString part(const char *name)
{
    QFile file(QStringLiteral(":/page_compat/scripts/%1.js").arg(QLatin1String(name)));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("page_compat: script %s missing from the resources", name);
    return QString::fromUtf8(file.readAll());
}

} // namespace

// One function scope for all parts: they share their helpers and leave no
// name behind in the page. A part that fails stops the rest, never the page.
QString compatScriptSource()
{
    initPageCompatResources();
    QString source = QStringLiteral(
        "(function () {\n'use strict';\n"
        "if (window.location.protocol !== 'file:') return;\n"
        "try {\n");
    for (const char *name : kParts)
        source += part(name) + QLatin1Char('\n');
    source += QStringLiteral("} catch (e) { console.error('page_compat: ' + e); }\n})();\n");
    return source;
}

QWebEngineScript compatScript()
{
    QWebEngineScript script;
    script.setName(kCompatScriptName);
    script.setSourceCode(compatScriptSource());
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    return script;
}

} // namespace ruzez
