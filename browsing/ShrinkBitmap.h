// The preview's scaling of a page bitmap: an average over the source pixels that fall into each
// target pixel. Any thread: it touches nothing but its arguments.
#pragma once

class QImage;

// Makes `target` a 32-bit image percent × source width / 100 by percent × source height / 100
// pixels (5 × 5 when `percent` is 0 or less, at least one pixel each way). Source pixel (x, y)
// falls into target pixel (x × target width / source width, y × target height / source
// height); each target pixel takes the average red, green and blue of its source pixels. A
// target pixel that none falls into (an enlargement) takes the source pixel it lies over.
void ShrinkBitmap(int percent, const QImage& source, QImage& target);
