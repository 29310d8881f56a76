#pragma once

#include <QString>
#include <QStringList>

namespace ruzez {

// The places a course disc may be found, in the order they are tried.
// Each root ends with '/'; the course folder re2rira/ lies directly in it.
class Drives
{
public:
    virtual ~Drives() = default;
    virtual QStringList roots() const = 0;
};

// The drive table of this machine:
//  1. drive letters mapped Wine-style in the program folder
//     (dosdevices/d: a folder or a link to one), from Z down to A, the
//     highest letter first as on Windows;
//  2. then every mounted, ready volume: those under /media and /run/media
//     (where discs and sticks are mounted) first, then the others, each
//     group in the order of its mount point's path.
class SystemDrives final : public Drives
{
public:
    explicit SystemDrives(QString programFolder);
    QStringList roots() const override;

private:
    QString m_programFolder;
};

} // namespace ruzez
