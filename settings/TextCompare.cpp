#include "settings/TextCompare.h"

#include <QLocale>

bool sameText(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

TextOrder::TextOrder()
    : m_collator(QLocale())
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

int TextOrder::compare(const QString &a, const QString &b) const
{
    if (const int byLocale = m_collator.compare(a, b))
        return byLocale;
    if (const int byFolding = a.compare(b, Qt::CaseInsensitive))
        return byFolding;
    return a.compare(b);
}
