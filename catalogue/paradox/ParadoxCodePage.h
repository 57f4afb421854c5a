#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The code page a Paradox table keeps its text in, turned into Unicode. Windows 1252,
// what a table that names no code page is taken to use, is read by a table of our own;
// any other code page by the system's converters, where they know it.
class ParadoxCodePage
{
public:
    // None when this system cannot read the code page; 0 names none (1252).
    static std::optional<ParadoxCodePage> forNumber(int number);

    int number() const { return m_number; }
    // None when the bytes are no text in this code page (a broken multi-byte sequence).
    std::optional<QString> decode(QByteArrayView bytes) const;

private:
    ParadoxCodePage(int number, QByteArray converter) : m_number(number), m_converter(std::move(converter)) {}

    int m_number;
    QByteArray m_converter; // empty: our own table for 1252
};
