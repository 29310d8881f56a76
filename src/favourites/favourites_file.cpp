#include "favourites_file.h"

#include "shell/program_folder.h"

#include <algorithm>

namespace ruzez {

QString FavouritesFile::pathIn(const QString &programFolder)
{
    return joinPath(programFolder, QStringLiteral("FAVORIS.LST"));
}

bool FavouritesFile::isBlank(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}

bool FavouritesFile::titles(QStringList &titles)
{
    for (int entry = 1; entry <= kMaxEntries; ++entry) {
        QString title;
        if (!m_store.read(titleRecord(entry), title))
            return false;
        if (isBlank(title))
            break;
        titles.append(title);
    }
    return true;
}

bool FavouritesFile::firstFreeEntry(int &entry)
{
    for (int k = 1; k <= kMaxEntries; ++k) {
        QString title;
        if (!m_store.read(titleRecord(k), title))
            return false;
        if (isBlank(title)) {
            entry = k;
            return true;
        }
    }
    return false;
}

bool FavouritesFile::add(const QString &title, const QString &address)
{
    int entry = 0;
    return firstFreeEntry(entry)
        && m_store.write(addressRecord(entry), address)
        && m_store.write(titleRecord(entry), title.left(kMaxTitle));
}

bool FavouritesFile::address(int entry, QString &address)
{
    address.clear();
    return entry >= 1 && entry <= kMaxEntries && m_store.read(addressRecord(entry), address);
}

bool FavouritesFile::readEntries(int first, QList<Entry> &entries)
{
    for (int entry = first; entry <= kMaxEntries; ++entry) {
        Entry e;
        if (!m_store.read(titleRecord(entry), e.title))
            return false;
        if (isBlank(e.title))
            break;
        if (!m_store.read(addressRecord(entry), e.address))
            return false;
        entries.append(std::move(e));
    }
    return true;
}

bool FavouritesFile::remove(int entry)
{
    if (entry < 1 || entry > kMaxEntries)
        return false;
    // An unreadable record must not pass for the end of the list: the
    // entries behind it would then be left out of the moving.
    QList<Entry> later;
    if (!readEntries(entry + 1, later))
        return false;

    if (!m_store.write(titleRecord(entry), QString()))
        return false;
    int free = entry;
    for (const Entry &moved : later) {
        // Address first, title last: the slot counts as occupied only once
        // it holds the whole entry.
        if (!m_store.write(addressRecord(free), moved.address)
            || !m_store.write(titleRecord(free), moved.title))
            return false;
        if (!m_store.write(titleRecord(free + 1), QString())) {
            // The entry would now be listed twice; take the copy back.
            m_store.write(titleRecord(free), QString());
            return false;
        }
        ++free;
    }
    return m_store.write(addressRecord(free), QString());
}

} // namespace ruzez
