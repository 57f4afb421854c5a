#pragma once

#include <QString>

// Makes (once) the benchmark catalogue: `count` records of realistic length, one in
// ten a Component with two 32x32 24-bit BMP images. Returns its full path.
QString benchCatalogue(int count);

// A complete 32x32 24-bit Windows BMP file.
QByteArray makeBmp(int seed);

// Peak resident memory of this process, in KiB.
long peakRssKiB();
