#include "ShrinkBitmap.h"

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <vector>

void ShrinkBitmap(int percent, const QImage& source, QImage& target) {
    const QImage src =
        source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
            ? source
            : source.convertToFormat(QImage::Format_RGB32);
    const int sw = src.width(), sh = src.height();
    int tw = 5, th = 5;
    if (percent > 0) {
        tw = std::max(1, static_cast<int>(int64_t{percent} * sw / 100));
        th = std::max(1, static_cast<int>(int64_t{percent} * sh / 100));
    }
    target = QImage(tw, th, QImage::Format_RGB32);
    if (target.isNull()) return;
    if (sw == 0 || sh == 0) {
        target.fill(Qt::white);
        return;
    }

    // The target column of every source column, and the other way round for the gaps.
    std::vector<int> toColumn(static_cast<size_t>(sw));
    for (int x = 0; x < sw; ++x) toColumn[static_cast<size_t>(x)] = int64_t{x} * tw / sw;
    // Sums of one target row at a time: the source rows of a target row follow each other.
    std::vector<uint64_t> red(static_cast<size_t>(tw)), green(red.size()), blue(red.size()),
        count(red.size());
    auto emitRow = [&](int ty) {
        auto* out = reinterpret_cast<QRgb*>(target.scanLine(ty));
        const int sy = static_cast<int>(int64_t{ty} * sh / th);
        const auto* over = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        for (int tx = 0; tx < tw; ++tx) {
            const size_t i = static_cast<size_t>(tx);
            const uint64_t n = count[i];
            if (n == 0) {
                out[tx] = 0xFF000000u | over[int64_t{tx} * sw / tw];
            } else {
                out[tx] = qRgb(static_cast<int>(red[i] / n), static_cast<int>(green[i] / n),
                               static_cast<int>(blue[i] / n));
            }
        }
        std::fill(red.begin(), red.end(), 0);
        std::fill(green.begin(), green.end(), 0);
        std::fill(blue.begin(), blue.end(), 0);
        std::fill(count.begin(), count.end(), 0);
    };

    int row = 0;  // the target row being summed
    for (int y = 0; y < sh; ++y) {
        const int ty = static_cast<int>(int64_t{y} * th / sh);
        while (row < ty) emitRow(row++);
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < sw; ++x) {
            const size_t i = static_cast<size_t>(toColumn[static_cast<size_t>(x)]);
            const QRgb p = in[x];
            red[i] += (p >> 16) & 0xFF;
            green[i] += (p >> 8) & 0xFF;
            blue[i] += p & 0xFF;
            ++count[i];
        }
    }
    while (row < th) emitRow(row++);
}
