#include "settings_file.h"

#include "shell/program_folder.h"
#include "shell/record_file.h"

namespace ruzez {

namespace {

constexpr int kName = 3;
constexpr int kMail = 4;
constexpr int kServer = 5;

const QString kCrLf = QStringLiteral("\r\n");

// The shown addresses, in the order the information box lists them.
struct Address
{
    int record;
    QString heading;
};

const Address kAddresses[] = {
    {1, QStringLiteral("Adresse de la page d'accueil:")},
    {2, QStringLiteral("Adresse de la page de recherche:")},
    {6, QStringLiteral("Destination des cartes des espèces chimiques:")},
    {8, QStringLiteral("Adresse des cartes à télécharger:")},
    {7, QStringLiteral("Adresse du fichier de procédures de mise à jour en ligne:")},
};

// Adds one address under its heading, apart from the one before it.
void addAddress(QString &information, const Address &address, const QString &text)
{
    if (!information.isEmpty())
        information += kCrLf + kCrLf;
    information += address.heading + kCrLf + text;
}

bool readAddress(RecordFile &file, const Address &address, QString &information)
{
    QString text;
    if (!file.read(address.record, text))
        return false;
    addAddress(information, address, text);
    return true;
}

bool writeItem(RecordFile &file, int record, const std::optional<QString> &item)
{
    return !item || file.write(record, *item);
}

bool readItem(RecordFile &file, int record, std::optional<QString> &item)
{
    QString text;
    if (!file.read(record, text))
        return false;
    item = text;
    return true;
}

} // namespace

SettingsLoad loadSettings(const QString &programFolder)
{
    SettingsLoad load;
    RecordFile file(joinPath(programFolder, kSettingsFileName));
    // The items are read between the second and the third address, the
    // order the file has always been read in.
    load.ok = file.open()
        && readAddress(file, kAddresses[0], load.information)
        && readAddress(file, kAddresses[1], load.information)
        && readItem(file, kName, load.name)
        && readItem(file, kMail, load.mail)
        && readItem(file, kServer, load.server)
        && readAddress(file, kAddresses[2], load.information)
        && readAddress(file, kAddresses[3], load.information)
        && readAddress(file, kAddresses[4], load.information);
    file.close();
    return load;
}

bool saveSettings(const QString &programFolder, const MailSettings &settings)
{
    RecordFile file(joinPath(programFolder, kSettingsFileName));
    return file.open()
        && writeItem(file, kName, settings.name)
        && writeItem(file, kMail, settings.mail)
        && writeItem(file, kServer, settings.server)
        && file.close();
}

} // namespace ruzez
