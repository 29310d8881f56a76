#pragma once

#include <QString>
#include <QTextStream>

namespace ruzez::course_tool {

// Exit codes of every subcommand.
constexpr int kSuccess = 0;
constexpr int kFailure = 1; // nothing was changed
constexpr int kUsage = 2;

// The folder of the course's main Windows program, which starts RUZEZ.EXE
// from it. Installing writes RUZEZ.EXE there as a shell launcher that Wine
// runs as a Linux program and that starts the browser on this folder; a
// RUZEZ.EXE that is not ours is kept beside it as RUZEZ.EXE.windows.
// Nothing else in the folder is touched, and a step that fails puts back
// what the steps before it changed.
class CourseFolder
{
public:
    static constexpr const char *kLauncherName = "RUZEZ.EXE";
    static constexpr const char *kKeptSuffix = ".windows";
    // The launcher's second line: how install, uninstall and status know it.
    static constexpr const char *kMarker = "# RUZEZ launcher written by ruzez-course";

    CourseFolder(QString folder, QTextStream &out, QTextStream &err);

    // `browser` is the ruzez executable the launcher starts.
    int install(const QString &browser);
    int uninstall();
    // `browser` is the ruzez executable a current launcher would start.
    int status(const QString &browser);

    // The launcher's text: it starts that browser on the folder it lies in.
    static QByteArray launcher(const QString &browser);

private:
    enum class Entry { Missing, Ours, Foreign, NotAFile };

    bool checkFolder(bool forWriting);
    // The entry Wine would run as RUZEZ.EXE (Wine matches names in any
    // letter case), and the name it has here.
    Entry launcherEntry(QString *name) const;
    QString keptName() const;
    QString path(const QString &name) const;
    int fail(const QString &message);
    // Whether the user running this can write the files RUZEZ writes here.
    void reportWritableFiles();

    QString m_folder;
    QTextStream &m_out;
    QTextStream &m_err;
};

} // namespace ruzez::course_tool
