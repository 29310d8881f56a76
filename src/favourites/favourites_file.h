#pragma once

#include "favourites/record_store.h"

#include <QString>
#include <QStringList>

namespace ruzez {

// The favourites file FAVORIS.LST: entry k holds its title in record 2k-1
// and its address in record 2k. A slot is free when its title is blank;
// the list is the run of occupied slots from entry 1 up to the first free
// one, so list position p (0-based) is entry p + 1.
//
// Every operation reads the store afresh and reports each failure to its
// caller, who decides what the user sees.
class FavouritesFile
{
public:
    static constexpr int kMaxEntries = RecordFile::kMaxRecord / 2; // 16383
    static constexpr int kMaxTitle = 100;

    static QString pathIn(const QString &programFolder);
    // Blank = empty once leading and trailing spaces (only spaces) are cut.
    static bool isBlank(const QString &text);
    static int titleRecord(int entry) { return 2 * entry - 1; }
    static int addressRecord(int entry) { return 2 * entry; }

    explicit FavouritesFile(RecordStore &store)
        : m_store(store)
    {
    }

    // The titles of the list, as stored (untrimmed). On a read failure the
    // titles read before it are kept in titles and false is returned.
    bool titles(QStringList &titles);

    // Adds an entry in the first free slot: the address first, then the
    // title cut to kMaxTitle characters, so that a failure never leaves a
    // visible half entry. Fails on a full file, an unreadable title record,
    // an address longer than a record holds, or a refused write.
    bool add(const QString &title, const QString &address);

    // The first free slot; false when a title cannot be read or none of
    // the kMaxEntries slots is free.
    bool firstFreeEntry(int &entry);

    bool address(int entry, QString &address);

    // Removes an entry of the list and moves every later entry up one
    // slot: the later entries are all read first, copied up in one write,
    // then the last one's old slot is blanked. A store failing part-way
    // never loses an entry nor leaves one twice: a failure before the copy
    // changes nothing; a refused blanking takes the copy of the last entry
    // back, leaving that entry alone behind a blank slot, where it rejoins
    // the list once the slot is filled again.
    bool remove(int entry);

private:
    struct Entry
    {
        QString title;
        QString address;
    };

    // The entries from first up to the first free slot, which goes into
    // freeEntry (kMaxEntries + 1 when there is none). On a read failure
    // entries keeps those read before it.
    bool readEntries(int first, QList<Entry> &entries, int &freeEntry);

    RecordStore &m_store;
};

// Opens, adds and closes: the file is closed before any box is shown. The
// entry is added once the close has put it on the disc.
bool addFavourite(const QString &programFolder, const QString &title, const QString &address);

} // namespace ruzez
