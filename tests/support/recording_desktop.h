#pragma once

#include "browser/outside_content.h"
#include "fake_message_boxes.h"

#include <QList>
#include <QUrl>

namespace ruzez::test {

// The desktop as the engine's leftovers reach it: records what it was asked
// to open and opens it when `opens` says so; its boxes record what the
// pupil would have been told.
struct RecordingDesktop
{
    FakeMessageBoxes boxes;
    QList<QUrl> opened;
    bool opens = false;

    DesktopHandOff handOff()
    {
        return {[this](const QUrl &url) {
                    opened << url;
                    return opens;
                },
                &boxes};
    }
};

} // namespace ruzez::test
