#pragma once

#include <QString>

#include <optional>

namespace ruzez {

// The settings file PARANET.LST beside the program: five addresses that
// come with the installed file and are only shown (records 1, 2, 6, 7, 8),
// and the three mail items the user enters (records 3, 4, 5).
inline const QString kSettingsFileName = QStringLiteral("PARANET.LST");

// The three items the user enters, records 3, 4 and 5. An item left unset
// is not written: its record keeps what it holds.
struct MailSettings
{
    std::optional<QString> name;   // name of the user or of the establishment
    std::optional<QString> mail;   // electronic mail address
    std::optional<QString> server; // outgoing mail server
};

// What loading read. On a failure it holds what was read before it: the
// information text built so far and the items read (an item left unset
// keeps the field's initial content).
struct SettingsLoad
{
    bool ok = false;
    QString information;
    std::optional<QString> name;
    std::optional<QString> mail;
    std::optional<QString> server;
};

// Reads records 1, 2, 3, 4, 5, 6, 8 and 7 in that order, building the
// information text: each address under its heading, the addresses apart by
// an empty line, CR LF line breaks, record 8 before record 7 and no break
// after the last. A missing file is created empty where the folder allows.
SettingsLoad loadSettings(const QString &programFolder);

// Writes records 3, 4 and 5 in that order (those of the items set),
// stopping at the first failure; the records written before it stay
// written. No value is checked or changed. False when the file cannot be
// opened, a write is refused, or the close finds the writes did not reach
// the disc.
bool saveSettings(const QString &programFolder, const MailSettings &settings);

} // namespace ruzez
