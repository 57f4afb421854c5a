#pragma once

#include <QByteArrayView>
#include <QtEndian>
#include <stdexcept>

// A number stored little-endian at `at` in bytes already read from a Paradox file. The
// file's own offsets were checked when the bytes were read; this check keeps a slip in
// our own offsets from reading past them.
template <typename T>
T littleEndianAt(QByteArrayView bytes, qsizetype at)
{
    if (at < 0 || at > bytes.size() - qsizetype(sizeof(T)))
        throw std::out_of_range("a number read past the bytes it lies in");
    return qFromLittleEndian<T>(bytes.data() + at);
}
