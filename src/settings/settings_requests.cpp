#include "settings/settings_requests.h"

#include <QDataStream>
#include <QDir>
#include <QIODevice>

namespace ruzez::settings_requests {

namespace {

constexpr auto kLoad = "settings.load";
constexpr auto kSave = "settings.save";

QDataStream &operator<<(QDataStream &out, const std::optional<QString> &item)
{
    return out << item.has_value() << item.value_or(QString());
}

QDataStream &operator>>(QDataStream &in, std::optional<QString> &item)
{
    bool set = false;
    QString text;
    in >> set >> text;
    item = set ? std::optional<QString>(text) : std::nullopt;
    return in;
}

FileAccess::Reply ask(FileAccess &files, const char *operation, const QByteArray &input, const QString &folder)
{
    return files.run(operation, input, QDir::cleanPath(folder), kLimit, FileAccess::Waiting::AnsweringWindow);
}

} // namespace

SettingsLoad load(FileAccess &files, const QString &programFolder)
{
    const FileAccess::Reply reply = ask(files, kLoad, programFolder.toUtf8(), programFolder);
    SettingsLoad loaded;
    if (reply.outcome != FileAccess::Outcome::Answered)
        return loaded;
    QDataStream in(reply.data);
    in >> loaded.ok >> loaded.information >> loaded.name >> loaded.mail >> loaded.server;
    if (in.status() != QDataStream::Ok)
        return {};
    return loaded;
}

bool save(FileAccess &files, const QString &programFolder, const MailSettings &settings)
{
    QByteArray input;
    QDataStream out(&input, QIODevice::WriteOnly);
    out << programFolder << settings.name << settings.mail << settings.server;
    const FileAccess::Reply reply = ask(files, kSave, input, programFolder);
    return reply.outcome == FileAccess::Outcome::Answered && reply.data == "1";
}

void addOperations(FileOperations &operations)
{
    operations[kLoad] = [](const QByteArray &folder) {
        const SettingsLoad loaded = loadSettings(QString::fromUtf8(folder));
        QByteArray output;
        QDataStream out(&output, QIODevice::WriteOnly);
        out << loaded.ok << loaded.information << loaded.name << loaded.mail << loaded.server;
        return output;
    };
    operations[kSave] = [](const QByteArray &input) {
        QDataStream in(input);
        QString folder;
        MailSettings settings;
        in >> folder >> settings.name >> settings.mail >> settings.server;
        return in.status() == QDataStream::Ok && saveSettings(folder, settings) ? QByteArray("1") : QByteArray("0");
    };
}

} // namespace ruzez::settings_requests
