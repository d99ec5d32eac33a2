// The machine's volumes as one folder that stands for the backup medium.
#pragma once

#include "TVolumeSpace.h"

class TOneVolume : public TVolumeSpace {
public:
    explicit TOneVolume(const QString& root) : root_(root) {}
    QStringList Volumes() const override { return {root_}; }

private:
    QString root_;
};
