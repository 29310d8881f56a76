#include "content_root.h"

#include "drives.h"
#include "message_boxes.h"
#include "program_folder.h"

namespace ruzez {

namespace {

// The first root, in the drives' order, that holds partages/<fileName>;
// the roots after it are never examined.
QString findRoot(const Drives &drives, const QString &fileName)
{
    for (const QString &root : drives.roots()) {
        if (drives.isFile(root + QLatin1String(kSharedFolder) + fileName))
            return root;
    }
    return {};
}

} // namespace

void cherchecd(QString &name, const Drives &drives, MessageBoxes &boxes,
               const QString &programFolder, ContentLocation &location)
{
    if (name.trimmed().isEmpty())
        return;

    // Only the file name counts; the name may come as a Windows or a Linux path.
    const qsizetype cut = qMax(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/')));
    const QString fileName = name.mid(cut + 1);

    for (;;) {
        const QString root = findRoot(drives, fileName);
        if (!root.isEmpty()) {
            location.racinesite = root + QLatin1String(kCourseFolder);
            name = root + QLatin1String(kSharedFolder) + fileName;
            location.databaseName = joinPath(programFolder, QLatin1String(kLinksDatabase));
            return;
        }
        const int answer = boxes.MsgBox(
            QStringLiteral("Veuillez introduire le CD-ROM « MIRAVEL » dans le lecteur."),
            vb::RetryCancel + vb::Exclamation, QStringLiteral("CD-ROM absent"));
        if (answer != vb::Retry) {
            name.clear();
            boxes.Beep();
            return;
        }
    }
}

} // namespace ruzez
