#include "catalogue/engine/SortKey.h"

#include "text/AsciiCase.h"

#include <algorithm>
#include <cstring>

int SortKey::compareBinary(const Part &a, const Part &b)
{
    if (a.null || b.null)
        return int(b.null) - int(a.null);
    const size_t n = size_t(std::min(a.bytes.size(), b.bytes.size()));
    const int r = std::memcmp(a.bytes.constData(), b.bytes.constData(), n);
    if (r != 0)
        return r;
    return a.bytes.size() < b.bytes.size() ? -1 : a.bytes.size() > b.bytes.size() ? 1 : 0;
}

int SortKey::compareNoCase(const Part &a, const Part &b)
{
    if (a.null || b.null)
        return int(b.null) - int(a.null);
    const qsizetype n = std::min(a.bytes.size(), b.bytes.size());
    for (qsizetype i = 0; i < n; ++i) {
        // Bytes, not characters: a byte of a multi-byte character is never a letter A to Z.
        const uchar ca = AsciiCase::toLower(uchar(a.bytes[i]));
        const uchar cb = AsciiCase::toLower(uchar(b.bytes[i]));
        if (ca != cb)
            return int(ca) - int(cb);
    }
    return a.bytes.size() < b.bytes.size() ? -1 : a.bytes.size() > b.bytes.size() ? 1 : 0;
}

bool SortKey::Less::operator()(const SortKey &a, const SortKey &b) const
{
    if (!m_order.isKeyOrder()) {
        const int c = compareNoCase(a.m_parts[0], b.m_parts[0]);
        if (c != 0)
            return m_order.descending() ? c > 0 : c < 0;
    }
    for (size_t i = 1; i < a.m_parts.size(); ++i) {
        const int c = compareBinary(a.m_parts[i], b.m_parts[i]);
        if (c != 0)
            return c < 0;
    }
    return a.m_rowId < b.m_rowId;
}
