#pragma once

// The program's one case rule for names, searches and orders: only the letters
// "A" to "Z" and "a" to "z" have a case; every other character, accented letters
// included, is compared as it is. The catalogue's case-insensitive order (SQLite's
// NOCASE) and the search follow the same rule.
namespace AsciiCase {

template <typename Char>
constexpr Char toLower(Char c)
{
    return (c >= Char('A') && c <= Char('Z')) ? Char(c + ('a' - 'A')) : c;
}

template <typename Char>
constexpr Char toUpper(Char c)
{
    return (c >= Char('a') && c <= Char('z')) ? Char(c - ('a' - 'A')) : c;
}

template <typename Char>
constexpr bool isLower(Char c)
{
    return c >= Char('a') && c <= Char('z');
}

} // namespace AsciiCase
