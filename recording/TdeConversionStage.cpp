#include "TdeConversionStage.h"

#include <algorithm>
#include <cstring>

#include "AudioTexts.h"
#include "EAudioError.h"
#include "TdeAudioCodecs.h"

TdeConversionStage::TdeConversionStage(const TdeWaveFormat& in, const TdeWaveFormat& out)
    : stream_(TdeAudioCodecs::OpenStream(in, out)) {}

TdeConversionStage::TdeConversionStage(std::unique_ptr<IAudioCodec> stream)
    : stream_(std::move(stream)) {}

std::span<const uint8_t> TdeConversionStage::Push(std::span<const uint8_t> block) {
    output_.clear();
    if (block.size() > input_.size() - held_) {
        if (prepared_) throw EAudioError(AudioTexts::kTooLargeForBuffer);
        input_.resize(2 * (held_ + block.size()));
    }
    if (!block.empty()) std::memcpy(input_.data() + held_, block.data(), block.size());
    held_ += block.size();

    if (!prepared_) {
        if (stream_->MaxOutputBytes(held_) == 0) return {};
        input_.resize(3 * held_);
        output_.reserve(stream_->MaxOutputBytes(input_.size()));
        prepared_ = true;
    }
    const size_t consumed = stream_->Convert(std::span(input_.data(), held_), output_);
    const size_t left = held_ - std::min(consumed, held_);
    if (left > 0 && consumed > 0) std::memmove(input_.data(), input_.data() + consumed, left);
    held_ = left;
    return output_;
}
