// Times the favourites window on a full file (16,383 entries): filling the
// list, and removing entry 1, which moves every other entry up one slot.
// Prints the times; run it from the build folder, it takes no arguments.

#include "browser/browser_component.h"
#include "favourites/favoris.h"
#include "favourites/favourites_file.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <ctime>

using namespace ruzez;

namespace {

class IdleBrowser final : public BrowserComponent
{
public:
    bool Navigate(const QString &) override { return true; }
    bool Navigate2(const QString &) override { return true; }
    bool GoBack() override { return true; }
    bool GoForward() override { return true; }
    bool Refresh() override { return true; }
    bool Refresh2() override { return true; }
    bool Stop() override { return true; }
    bool ExecWB(int, int) override { return true; }
    QString LocationName() const override { return {}; }
    QString LocationURL() const override { return {}; }
    bool Busy() const override { return false; }
    void setStatusBar(bool) override {}
};

QByteArray fullFile()
{
    QByteArray bytes;
    bytes.reserve(FavouritesFile::kMaxEntries * 256);
    for (int k = 1; k <= FavouritesFile::kMaxEntries; ++k) {
        bytes += test::record("Pollution de l'air, page " + QByteArray::number(k));
        bytes += test::record("file:///media/cdrom/re2rira/air/pagesair/page" + QByteArray::number(k) + ".html");
    }
    return bytes;
}

// Wall and processor time of one step: on a machine shared with other
// work, the processor time tells what the step costs by itself.
class Stopwatch
{
public:
    Stopwatch() { restart(); }
    void restart()
    {
        m_wall.start();
        m_cpu = cpuNow();
    }
    QString reading() const
    {
        return QStringLiteral("%1 ms (cpu %2 ms)")
            .arg(m_wall.nsecsElapsed() / 1e6, 0, 'f', 1)
            .arg((cpuNow() - m_cpu) * 1e3, 0, 'f', 1);
    }

private:
    static double cpuNow()
    {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec + t.tv_nsec / 1e9;
    }

    QElapsedTimer m_wall;
    double m_cpu = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QByteArray bytes = fullFile();
    IdleBrowser browser;
    test::FakeMessageBoxes boxes;

    for (int run = 1; run <= 5; ++run) {
        test::writeAll(FavouritesFile::pathIn(dir.path()), bytes);
        favoris window(browser, dir.path(), boxes);

        Stopwatch watch;
        window.Form_Load();
        const QString fill = watch.reading();
        const int listed = window.Liste->count();

        window.Liste->setCurrentRow(0);
        watch.restart();
        window.Command1_Click();
        const QString removal = watch.reading();

        out << "run " << run << ": Form_Load of " << listed << " entries " << fill
            << "; Enlever entry 1 with the refill (" << window.Liste->count() << " left) "
            << removal << "\n";
    }

    // The file rules alone, without the list widget.
    test::writeAll(FavouritesFile::pathIn(dir.path()), bytes);
    RecordFileStore file(FavouritesFile::pathIn(dir.path()));
    file.open();
    FavouritesFile favourites(file);
    QStringList titles;
    Stopwatch watch;
    favourites.titles(titles);
    out << "titles() of " << titles.size() << " entries " << watch.reading() << "\n";
    watch.restart();
    favourites.remove(1);
    out << "remove(1) " << watch.reading() << "\n";
    out << "message boxes shown: " << boxes.calls.size() << "\n";
    return 0;
}
