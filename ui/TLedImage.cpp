#include "TLedImage.h"

TLedImage::TLedImage(QWidget* parent) : QLabel(parent) {
    setFixedSize(32, 32);
    setScaledContents(true);
}

void TLedImage::SetPicture(const QPixmap& picture) {
    setPixmap(picture);
    repaint();
}
