#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace ruzez::wine {

// Wine's own help viewer (winhlp32), which reads the course's Windows help
// files that no Linux desktop application opens.
class WineHelpViewer
{
public:
    // Starts `program` with `arguments`, detached, in the Wine prefix
    // `prefix` (empty: Wine's default); true when it started.
    using Starter = std::function<bool(const QString &program, const QStringList &arguments,
                                       const QString &prefix)>;

    // `wine` is the wine command (empty: Wine is not installed); `start`
    // defaults to starting a detached process.
    explicit WineHelpViewer(QString wine = findWine(), Starter start = {});

    // The wine command on PATH, or an empty text.
    static QString findWine();

    bool available() const { return !m_wine.isEmpty(); }

    // Opens `file`'s contents in the viewer, run in the prefix holding the
    // program folder when there is one, so the file is reached through that
    // prefix's drives and no new prefix is made. False when Wine is missing
    // or did not start.
    bool show(const QString &file, const QString &programFolder) const;

private:
    QString m_wine;
    Starter m_start;
};

} // namespace ruzez::wine
