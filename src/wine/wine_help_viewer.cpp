#include "wine/wine_help_viewer.h"

#include "wine/wine_prefix.h"

#include <QProcess>
#include <QStandardPaths>

namespace ruzez::wine {

namespace {

bool startDetached(const QString &program, const QStringList &arguments, const QString &prefix)
{
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (!prefix.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WINEPREFIX"), prefix);
        process.setProcessEnvironment(environment);
    }
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace

WineHelpViewer::WineHelpViewer(QString wine, Starter start)
    : m_wine(std::move(wine))
    , m_start(start ? std::move(start) : Starter(&startDetached))
{
}

QString WineHelpViewer::findWine()
{
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

bool WineHelpViewer::show(const QString &file, const QString &programFolder) const
{
    if (!available())
        return false;
    const QString prefix = prefixHolding(programFolder);
    return m_start(m_wine, {QStringLiteral("winhlp32.exe"), windowsPath(file, prefix)}, prefix);
}

} // namespace ruzez::wine
