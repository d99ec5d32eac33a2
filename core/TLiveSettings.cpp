#include "TLiveSettings.h"

namespace {
constexpr int kTags[] = {6, 7, 17, 49, 85};
}

int TLiveSettings::CompressionTagOf(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= 5) return kTags[0];
    return kTags[itemIndex];
}

int TLiveSettings::ItemOfCompressionTag(int tag) {
    for (int i = 0; i < 5; ++i)
        if (kTags[i] == tag) return i;
    return -1;
}

TLiveSettings& TLiveSettings::Instance() {
    static TLiveSettings settings;
    return settings;
}
