#pragma once

#include "settings/TextCompare.h"

#include <QStringList>

// A list of texts that keeps itself in alphabetical order without regard to
// case. PickList keeps repeats; PhraseList ignores a text equal (without
// regard to case) to one already present, keeping the first spelling.
class SortedTextList
{
public:
    enum class Repeats { Keep, Ignore };

    explicit SortedTextList(Repeats repeats)
        : m_repeats(repeats)
    {
    }

    // Returns false when the text was ignored as a repeat.
    bool add(const QString &text);
    void clear() { m_items.clear(); }
    // Whether a text equal to this one without regard to case is present.
    bool contains(const QString &text) const;

    const QStringList &items() const { return m_items; }
    qsizetype count() const { return m_items.size(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const QString &at(qsizetype i) const { return m_items.at(i); }

private:
    QStringList m_items;
    TextOrder m_order;
    Repeats m_repeats;
};

// The type and status definitions.
class PickList : public SortedTextList
{
public:
    PickList()
        : SortedTextList(Repeats::Keep)
    {
    }
};

// The standard phrases.
class PhraseList : public SortedTextList
{
public:
    PhraseList()
        : SortedTextList(Repeats::Ignore)
    {
    }
};
