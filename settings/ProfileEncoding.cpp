#include "settings/ProfileEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80 to 0x9F. The five bytes it
// leaves undefined keep their Latin-1 codes, so every byte reads as some
// character and writes back as the same byte.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<char> windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < Windows1252High.size(); ++i) {
        if (Windows1252High[i] == c)
            return char(0x80 + i);
    }
    return std::nullopt;
}

bool startsWithMark(QByteArrayView bytes, qsizetype at, QByteArrayView mark)
{
    return bytes.size() - at >= mark.size() && bytes.sliced(at, mark.size()) == mark;
}

QStringConverter::Encoding qtEncoding(ProfileEncoding encoding)
{
    switch (encoding) {
    case ProfileEncoding::Utf16LE:
        return QStringConverter::Utf16LE;
    case ProfileEncoding::Utf16BE:
        return QStringConverter::Utf16BE;
    default:
        return QStringConverter::Utf8;
    }
}

} // namespace

QString encodingName(ProfileEncoding encoding)
{
    switch (encoding) {
    case ProfileEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case ProfileEncoding::Windows1252:
        return QStringLiteral("Windows-1252");
    case ProfileEncoding::Utf16LE:
        return QStringLiteral("UTF-16 (little-endian)");
    case ProfileEncoding::Utf16BE:
        return QStringLiteral("UTF-16 (big-endian)");
    }
    return {};
}

ProfileEncoding detectEncoding(QByteArrayView bytes, qsizetype &markLength)
{
    const auto skipMarks = [&](QByteArrayView mark) {
        markLength = 0;
        while (startsWithMark(bytes, markLength, mark))
            markLength += mark.size();
    };
    markLength = 0;
    if (bytes.startsWith("\xFF\xFE")) {
        skipMarks("\xFF\xFE");
        return ProfileEncoding::Utf16LE;
    }
    if (bytes.startsWith("\xFE\xFF")) {
        skipMarks("\xFE\xFF");
        return ProfileEncoding::Utf16BE;
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        skipMarks("\xEF\xBB\xBF");
        return ProfileEncoding::Utf8;
    }
    return bytes.isValidUtf8() ? ProfileEncoding::Utf8 : ProfileEncoding::Windows1252;
}

QList<QByteArrayView> splitLines(ProfileEncoding encoding, QByteArrayView bytes)
{
    QList<QByteArrayView> lines;
    const bool wide = encoding == ProfileEncoding::Utf16LE || encoding == ProfileEncoding::Utf16BE;
    const qsizetype step = wide ? 2 : 1;
    const qsizetype feedAt = encoding == ProfileEncoding::Utf16BE ? 1 : 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i + step <= bytes.size(); i += step) {
        const bool feed = bytes[i + feedAt] == '\n' && (!wide || bytes[i + 1 - feedAt] == '\0');
        if (feed) {
            lines.append(bytes.sliced(start, i + step - start));
            start = i + step;
        }
    }
    if (start < bytes.size())
        lines.append(bytes.sliced(start));
    return lines;
}

QString decodeText(ProfileEncoding encoding, QByteArrayView bytes)
{
    if (encoding == ProfileEncoding::Windows1252) {
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<unsigned char>(bytes[i]);
            text[i] = QChar(byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : char16_t(byte));
        }
        return text;
    }
    // A byte order mark inside the text is a character like any other.
    QStringDecoder decoder(qtEncoding(encoding),
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

std::optional<QByteArray> encodeText(ProfileEncoding encoding, QStringView text, QString *unwritable)
{
    if (encoding == ProfileEncoding::Windows1252) {
        QByteArray bytes;
        bytes.reserve(text.size());
        for (qsizetype i = 0; i < text.size(); ++i) {
            const auto byte = windows1252Byte(text[i].unicode());
            if (!byte) {
                if (unwritable) {
                    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
                    *unwritable = text.mid(i, pair ? 2 : 1).toString();
                }
                return std::nullopt;
            }
            bytes += *byte;
        }
        return bytes;
    }
    QStringEncoder encoder(qtEncoding(encoding), QStringEncoder::Flag::Stateless);
    return QByteArray(encoder.encode(text));
}
