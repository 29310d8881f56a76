#include "favourites_file.h"

#include "shell/program_folder.h"

#include <algorithm>
#include <utility>

namespace ruzez {

QString FavouritesFile::pathIn(const QString &programFolder)
{
    return joinPath(programFolder, QStringLiteral("FAVORIS.LST"));
}

bool FavouritesFile::isBlank(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == QLatin1Char(' '); });
}

namespace {

// Slots read in one call: a full list is 32 reads, not 32,766.
constexpr int kSlotsPerRead = 512;

} // namespace

bool FavouritesFile::readEntries(int first, QList<Entry> &entries, int &freeEntry)
{
    for (int chunk = first; chunk <= kMaxEntries; chunk += kSlotsPerRead) {
        const int count = qMin(kSlotsPerRead, kMaxEntries - chunk + 1);
        QStringList records;
        // A failing run still hands back the records before the failure:
        // the list may end before it, and otherwise keeps the entries read.
        const bool read = m_store.readRun(titleRecord(chunk), 2 * count, records);
        const int whole = read ? count : int(records.size() / 2);
        for (int i = 0; i < whole; ++i) {
            if (isBlank(records.at(2 * i))) {
                freeEntry = chunk + i;
                return true;
            }
            entries.append({records.at(2 * i), records.at(2 * i + 1)});
        }
        if (!read)
            return false;
    }
    freeEntry = kMaxEntries + 1;
    return true;
}

bool FavouritesFile::titles(QStringList &titles)
{
    QList<Entry> entries;
    int free = 0;
    const bool read = readEntries(1, entries, free);
    for (const Entry &e : std::as_const(entries))
        titles.append(e.title);
    return read;
}

bool FavouritesFile::firstFreeEntry(int &entry)
{
    QList<Entry> entries;
    int free = 0;
    if (!readEntries(1, entries, free) || free > kMaxEntries)
        return false;
    entry = free;
    return true;
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

bool FavouritesFile::remove(int entry)
{
    if (entry < 1 || entry > kMaxEntries)
        return false;
    // An unreadable record must not pass for the end of the list: the
    // entries behind it would be left behind a blank slot.
    QList<Entry> later;
    int free = 0;
    if (!readEntries(entry + 1, later, free))
        return false;

    // Every later entry one slot up, in one write: refused, it changes
    // nothing; done, every slot is whole and the last entry is held twice,
    // in its old slot too, until that slot is blanked.
    if (!later.isEmpty()) {
        QStringList moved;
        moved.reserve(2 * later.size());
        for (const Entry &e : std::as_const(later))
            moved << e.title << e.address;
        if (!m_store.writeRun(titleRecord(entry), moved))
            return false;
    }
    const int vacated = free - 1;
    if (!m_store.write(titleRecord(vacated), QString())) {
        // Take the copy back, so that the last entry is held once.
        if (vacated > entry)
            m_store.write(titleRecord(vacated - 1), QString());
        return false;
    }
    return m_store.write(addressRecord(vacated), QString());
}

bool addFavourite(const QString &programFolder, const QString &title, const QString &address)
{
    RecordFileStore file(FavouritesFile::pathIn(programFolder));
    FavouritesFile favourites(file);
    return file.open() && favourites.add(title, address) && file.close();
}

} // namespace ruzez
