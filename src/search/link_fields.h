#pragma once

#include <QString>

namespace ruzez {

// One row of the course's links table, with the four fields the browser
// uses. URL is relative to the course folder; SubCategory is the page's
// title; Description is the text the keywords are looked for in.
struct LinkRow
{
    QString LinkID;
    QString URL;
    QString SubCategory;
    QString Description;

    friend bool operator==(const LinkRow &, const LinkRow &) = default;
};

} // namespace ruzez
