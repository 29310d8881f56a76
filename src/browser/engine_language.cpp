#include "browser/engine_language.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWebEngineProfile>

namespace ruzez {

void chooseFrenchForTheEngine()
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (flags.contains("--lang="))
        return;
    if (!flags.isEmpty())
        flags += ' ';
    flags += QByteArray("--lang=") + kEngineLanguage;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

bool loadEngineTranslations(QTranslator &translator)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString file = QStringLiteral("qtwebengine_%1.qm").arg(QLatin1String(kEngineLanguage));
    if (!QFileInfo(folder + QLatin1Char('/') + file).isFile())
        return false;
    if (!translator.load(file, folder))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

void askPagesInFrench(QWebEngineProfile &profile)
{
    profile.setHttpAcceptLanguage(QString::fromLatin1(kEngineLanguage));
}

} // namespace ruzez
