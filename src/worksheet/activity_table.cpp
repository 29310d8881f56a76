#include "activity_table.h"

#include <array>

namespace ruzez {

namespace {

const std::array<Activity, 4> &activities()
{
    static const std::array<Activity, 4> table{{
        {20, QStringLiteral("partages/index.html"), 0, std::nullopt},
        {21, QStringLiteral("air/presentair.html#CO2"), 1, 118},
        {22, QStringLiteral("air/pagesair/dioxyde.html"), 2, std::nullopt},
        {23, QStringLiteral("air/pagesair/CFC.html#pollutions"), 3, 152},
    }};
    return table;
}

} // namespace

std::optional<Activity> activityFor(double number)
{
    for (const Activity &activity : activities()) {
        if (number == activity.number)
            return activity;
    }
    return std::nullopt;
}

QString activityAddress(const QString &racinesite, const Activity &activity)
{
    return QStringLiteral("file://") + racinesite + activity.page;
}

} // namespace ruzez
