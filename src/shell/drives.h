#pragma once

#include "shell/volume_probe.h"
#include "wine/wine_prefix.h"

#include <QString>
#include <QStringList>

namespace ruzez {

// The places a course disc may be found, in the order they are tried.
// Each root ends with '/'; the course folder re2rira/ lies directly in it.
// Listing the roots touches none of them: a root's volume is examined only
// when isFile asks about a file on it.
class Drives
{
public:
    virtual ~Drives() = default;
    virtual QStringList roots() const = 0;
    // Whether `path` (under one of the roots) is a normal file. A volume
    // that cannot be read counts as not holding it.
    virtual bool isFile(const QString &path) const;
};

// The drive table of this machine:
//  1. drive letters mapped Wine-style in the program folder
//     (dosdevices/d: a folder or a link to one), from Z down to A, the
//     highest letter first as on Windows;
//  2. the drive letters of the Wine prefix holding the program folder, then
//     of $WINEPREFIX, then of ~/.wine, each from Z down to A: the course's
//     main program runs under Wine and its drives are the pupil's drives;
//  3. then every mounted volume but the system's own (/proc, /sys, /dev,
//     /run but /run/media): those under /media and /run/media (where discs
//     and sticks are mounted) first, then the others, each group in the
//     order of its mount point's path.
// Files are tested through a VolumeProbe: a volume that does not answer
// within its limit counts as not holding the file.
class SystemDrives final : public Drives
{
public:
    explicit SystemDrives(QString programFolder,
                          wine::Environment environment = wine::Environment::fromSystem(),
                          VolumeProbe probe = VolumeProbe(),
                          QString mountTable = QStringLiteral("/proc/self/mounts"));
    QStringList roots() const override;
    bool isFile(const QString &path) const override;

    // Mount points listed in a mount table (fstab format), in the order
    // described above, without touching any of them.
    static QStringList mountedVolumes(const QString &mountTable);

private:
    QString m_programFolder;
    wine::Environment m_environment;
    VolumeProbe m_probe;
    QString m_mountTable;
};

} // namespace ruzez
