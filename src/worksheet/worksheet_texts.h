#pragma once

#include <QList>
#include <QString>

namespace ruzez {

// The three worksheets as data: runs of text, each written with its own
// format, one after the other. A line break is CR LF inside a run's text;
// the last run of a worksheet carries none. All the text is black Arial 10;
// only bold, italic and the bullet vary.
struct WorksheetRun
{
    enum class Font {
        Arial,
        // The bullet that opens a point of worksheet 1. The course drew it
        // as 0xB7 in the Symbol font; Unicode fonts show 0xB7 as a small
        // middle dot, so the run holds U+2022, a bullet in any text font.
        Bullet,
    };

    QString text;
    bool bold = false;
    bool italic = false;
    Font font = Font::Arial;

    friend bool operator==(const WorksheetRun &, const WorksheetRun &) = default;
};

inline constexpr char16_t kBullet = u'\u2022';
inline constexpr int kWorksheetPointSize = 10;
inline const QString kWorksheetFontFamily = QStringLiteral("Arial");

// Runs of worksheets 1, 2 and 3 (activities 21, 22, 23), in writing order.
QList<WorksheetRun> worksheetRuns1();
QList<WorksheetRun> worksheetRuns2();
QList<WorksheetRun> worksheetRuns3();

} // namespace ruzez
