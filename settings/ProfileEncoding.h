#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// The encodings a settings file is read in. A file is written back in the one
// it came in, so that a program on Windows that shares it still reads it.
enum class ProfileEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

QString encodingName(ProfileEncoding encoding);

// How to read a file: as its byte order mark says (UTF-16 either way round, or
// UTF-8); else UTF-8 when the bytes are valid UTF-8, and Windows-1252 when they
// are not, as a file written on Windows usually is. `markLength` receives the
// length of the byte order marks in front, repeated ones included.
ProfileEncoding detectEncoding(QByteArrayView bytes, qsizetype &markLength);

// The bytes cut after each line feed; each piece keeps its line ending.
QList<QByteArrayView> splitLines(ProfileEncoding encoding, QByteArrayView bytes);

QString decodeText(ProfileEncoding encoding, QByteArrayView bytes);
// nullopt when a character of the text has no form in the encoding;
// `unwritable` then receives the first such character.
std::optional<QByteArray> encodeText(ProfileEncoding encoding, QStringView text, QString *unwritable = nullptr);
