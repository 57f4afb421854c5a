#include "catalogue/paradox/ParadoxCodePage.h"

#include <QStringDecoder>
#include <array>

namespace {

constexpr int Windows1252 = 1252;

// Bytes 0x80 to 0x9F of Windows 1252; the rest is Latin-1. The five bytes Windows leaves
// unassigned keep their C1 control, as Windows itself converts them, so no byte is lost.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decode1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

// The names the system's converters know a Paradox code page by.
QByteArray converterFor(int number)
{
    const QByteArray digits = QByteArray::number(number);
    for (const QByteArray &name : {"windows-" + digits, "IBM" + digits, "cp" + digits}) {
        if (QStringDecoder(name.constData()).isValid())
            return name;
    }
    return QByteArray();
}

} // namespace

std::optional<ParadoxCodePage> ParadoxCodePage::forNumber(int number)
{
    if (number == 0 || number == Windows1252)
        return ParadoxCodePage(Windows1252, QByteArray());
    QByteArray converter = converterFor(number);
    if (converter.isEmpty())
        return std::nullopt;
    return ParadoxCodePage(number, std::move(converter));
}

std::optional<QString> ParadoxCodePage::decode(QByteArrayView bytes) const
{
    if (m_converter.isEmpty())
        return decode1252(bytes);
    // A converter of its own for each text: no state carries over from the last one.
    QStringDecoder decoder(m_converter.constData());
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}
