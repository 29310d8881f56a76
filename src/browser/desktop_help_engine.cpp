#include "browser/desktop_help_engine.h"

#include "shell/message_boxes.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>

namespace ruzez {

namespace {

const QString kHelpTitle = QStringLiteral("Aide");

} // namespace

DesktopHelpEngine::DesktopHelpEngine(MessageBoxes &boxes, wine::WineHelpViewer wine, UrlOpener open)
    : m_boxes(boxes)
    , m_wine(std::move(wine))
    , m_open(open ? std::move(open) : UrlOpener(&DesktopHelpEngine::openWithDesktop))
{
}

bool DesktopHelpEngine::openWithDesktop(const QUrl &url)
{
    // The desktop's opener starts happily for a type nothing handles and
    // then shows nothing, so ask first whether an application is registered.
    const QString type = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0
        || query.readAllStandardOutput().trimmed().isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

void DesktopHelpEngine::showHelp(const QString &file, int command)
{
    if (command != kFinder || file.isEmpty())
        return;
    const QFileInfo info(file);
    if (!info.isFile()) {
        m_boxes.MsgBox(QStringLiteral("Le fichier d'aide « %1 » est introuvable dans le dossier %2.")
                           .arg(info.fileName(), info.absolutePath()),
                       vb::OKOnly + vb::Exclamation, kHelpTitle);
        return;
    }
    if (m_wine.show(info.absoluteFilePath(), info.absolutePath()))
        return;
    if (m_open(QUrl::fromLocalFile(info.absoluteFilePath())))
        return;
    m_boxes.MsgBox(QStringLiteral("Aucun programme de cet ordinateur ne sait afficher le fichier d'aide « %1 ».\n"
                                  "Installez Wine : son afficheur d'aide le lit.")
                       .arg(info.fileName()),
                   vb::OKOnly + vb::Exclamation, kHelpTitle);
}

} // namespace ruzez
