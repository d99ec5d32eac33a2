// A state picture with an integer tag (the state it shows).
#pragma once

#include <QLabel>

class TLedImage : public QLabel {
    Q_OBJECT
public:
    explicit TLedImage(QWidget* parent = nullptr);
    void SetPicture(const QPixmap& picture);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

private:
    int tag_ = 0;
};
