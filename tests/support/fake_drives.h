#pragma once

#include "shell/drives.h"

#include <functional>

namespace ruzez::test {

// A drive table of temporary folders. `beforeListing` runs each time the
// table is read, so a test can "insert the disc" between two searches.
class FakeDrives final : public Drives
{
public:
    QStringList list;
    std::function<void()> beforeListing;
    mutable int listings = 0;

    QStringList roots() const override
    {
        ++listings;
        if (beforeListing)
            beforeListing();
        return list;
    }
};

} // namespace ruzez::test
