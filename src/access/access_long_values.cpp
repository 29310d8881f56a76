// Long values: a memo's bytes, held in its row, in one long-value record, or in a chain of them.

#include "access/access_reader.h"

#include <algorithm>

namespace ruzez::access {

QByteArrayView Reader::longValue(const Bytes &field, ReadBudget &budget, QByteArray &gathered) const
{
    const quint32 header = field.u32(0);
    const qint64 length = header & 0x3fffffff;
    if (length > fileSize())
        throw Damaged{QStringLiteral("a memo claims more bytes than the file holds")};
    budget.spend(length);
    const quint8 kind = header >> 24;
    if (kind & 0x80)
        return field.slice(12, length);
    quint32 pointer = field.u32(4);
    // The record's bytes are valid until the next page is read: the caller uses them first.
    if (kind & 0x40)
        return rowAtPointer(pointer, budget, "long-value record").slice(0, length);
    // Every record of the chain is used once in the whole read, so a chain that loops, or
    // that other values share, ends the read instead of repeating a walk.
    gathered.resize(0);
    while (gathered.size() < length) {
        if (pointer == 0)
            throw Damaged{QStringLiteral("a memo's page chain ends early")};
        const Bytes part = rowAtPointer(pointer, budget, "long-value record");
        const qint64 take = std::min<qint64>(part.size - 4, length - gathered.size());
        gathered.append(part.slice(4, std::max<qint64>(take, 0)));
        pointer = part.u32(0);
    }
    return gathered;
}

} // namespace ruzez::access
