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

double milliseconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

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

    for (int run = 1; run <= 3; ++run) {
        test::writeAll(FavouritesFile::pathIn(dir.path()), bytes);
        favoris window(browser, dir.path(), boxes);

        QElapsedTimer timer;
        timer.start();
        window.Form_Load();
        const double fill = milliseconds(timer);

        window.Liste->setCurrentRow(0);
        timer.restart();
        window.Command1_Click();
        const double removal = milliseconds(timer);

        out << "run " << run << ": Form_Load " << window.Liste->count() + 1 << " entries "
            << fill << " ms; Enlever entry 1 (with refill, " << window.Liste->count()
            << " left) " << removal << " ms\n";
    }

    // The file rules alone, without the list widget.
    test::writeAll(FavouritesFile::pathIn(dir.path()), bytes);
    RecordFileStore file(FavouritesFile::pathIn(dir.path()));
    file.open();
    FavouritesFile favourites(file);
    QStringList titles;
    QElapsedTimer timer;
    timer.start();
    favourites.titles(titles);
    out << "titles() " << titles.size() << " entries " << milliseconds(timer) << " ms\n";
    timer.restart();
    favourites.remove(1);
    out << "remove(1) " << milliseconds(timer) << " ms\n";
    out << "message boxes shown: " << boxes.calls.size() << "\n";
    return 0;
}
