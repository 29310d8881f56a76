#pragma once

#include <QString>

#include <optional>

namespace ruzez {

// What the main course program can ask the browser to open: a page of the
// course and, for three activities, a worksheet under it.
struct Activity
{
    int number = 0;
    // Relative to the course folder; opened as "file://" + racinesite + page.
    QString page;
    // 1, 2 or 3 for fiche1..fiche3; 0 when the activity has no worksheet.
    int worksheet = 0;
    // The worksheet box's height in pixels; nullopt keeps the height it has.
    std::optional<int> worksheetHeight;
};

// The entry of the activity whose number equals `number` exactly (20 to
// 23); nullopt for any other number, which opens no activity.
std::optional<Activity> activityFor(double number);

// The address an activity's page is requested at.
QString activityAddress(const QString &racinesite, const Activity &activity);

} // namespace ruzez
