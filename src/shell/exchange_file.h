#pragma once

#include <QString>

namespace ruzez {

// TEMPO.SZK, the file the main course program shares with the browser:
// record 19 says whether the browser runs, record 26 holds the activity
// the main course program asks for. Every other record is that program's,
// and the browser never touches it.
namespace exchange {

inline constexpr auto kFileName = "TEMPO.SZK";
inline constexpr int kRunningFlagRecord = 19;
inline constexpr int kActivityRecord = 26;
inline const QString kRunning = QStringLiteral("OUI");
inline const QString kStopped = QStringLiteral("NON");

QString path(const QString &programFolder);

// Start-up: writes "OUI" into record 19 and hands back record 26 as it
// stands (untrimmed). A step that fails is skipped: an unreadable activity
// comes back empty.
QString announceRunning(const QString &programFolder);

// Close: writes "NON" into record 19. False when it could not be written.
bool announceStopped(const QString &programFolder);

} // namespace exchange
} // namespace ruzez
