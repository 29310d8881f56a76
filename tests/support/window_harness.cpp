#include "window_harness.h"

#include "test_files.h"

#include <QCoreApplication>
#include <QDir>

namespace ruzez::test {

WindowHarness::WindowHarness(const QString &programFolderOverride, WindowFrame *frameOverride)
    : m_programFolder(programFolderOverride.isEmpty() ? program.path() : programFolderOverride)
{
    drives.list = {disc.path() + QLatin1Char('/')};
    QDir(disc.path()).mkpath(QStringLiteral("re2rira/partages"));
    makeFile(disc.filePath(QStringLiteral("re2rira/partages/index.html")), "<html></html>");

    auto fake = std::make_unique<FakeBrowser>();
    browser = fake.get();
    window = std::make_unique<frmBrowser>(boxes, drives, dialup, help,
                                          frameOverride ? *frameOverride : frame, m_programFolder,
                                          std::move(fake), [this] { ++programEnded; });
}

QString WindowHarness::programFolder() const
{
    return m_programFolder;
}

QString WindowHarness::discRoot() const
{
    return disc.path() + QStringLiteral("/re2rira/");
}

void WindowHarness::writeActivity(const QByteArray &activity)
{
    QByteArray bytes(25 * 128, '\0');
    bytes += record(activity);
    writeAll(program.filePath(QStringLiteral("TEMPO.SZK")), bytes);
}

void WindowHarness::settle()
{
    QCoreApplication::processEvents();
    while (browser->completePending())
        QCoreApplication::processEvents();
}

} // namespace ruzez::test
