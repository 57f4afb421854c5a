#pragma once

#include <QCollator>
#include <QString>

// Equal without regard to case, for every letter that has a case (so "Ä"
// equals "ä"), whatever the locale.
bool sameText(const QString &a, const QString &b);

// Alphabetical order without regard to case in the user's locale (so "Äpfel"
// sorts next to "Apfel" in German). Texts that collate equal are ordered
// case-insensitively by code point and then exactly, so the order is total.
class TextOrder
{
public:
    // Takes the default locale at construction.
    TextOrder();

    int compare(const QString &a, const QString &b) const;
    bool operator()(const QString &a, const QString &b) const { return compare(a, b) < 0; }

private:
    QCollator m_collator;
};
