// One conversion stage of a converter: a stream from one format to the next, with its input and
// output buffers.
//
// Incoming bytes are appended to the input buffer; while the stream cannot yet turn what is held
// into output (less than one whole block), nothing is produced and the buffer grows as needed
// (to twice the bytes then held). At the first block that can be converted the buffers are fixed:
// the input buffer to 3 × the bytes held, the output buffer to the most the stream can make of a
// full input buffer. From then on a block that does not fit raises "Audio is too large to fit
// into conversion buffer". Each push converts the whole blocks held; the bytes of a partial
// block stay at the front of the input buffer for the next push. There is no flush: what is
// still held when the stage is destroyed is dropped.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "IAudioCodec.h"
#include "TdeWaveFormat.h"

class TdeConversionStage {
public:
    // Opens the codec layer's stream from `in` to `out` ("Conversion not possible." when none).
    TdeConversionStage(const TdeWaveFormat& in, const TdeWaveFormat& out);
    explicit TdeConversionStage(std::unique_ptr<IAudioCodec> stream);

    // Takes `block` and returns what the stream produced from the whole blocks now held, valid
    // until the next push (empty when nothing was produced).
    std::span<const uint8_t> Push(std::span<const uint8_t> block);

    // True once the buffers are fixed (the first convertible block has arrived).
    bool Prepared() const { return prepared_; }
    size_t Held() const { return held_; }
    size_t InputCapacity() const { return input_.size(); }
    size_t OutputCapacity() const { return output_.capacity(); }

private:
    std::unique_ptr<IAudioCodec> stream_;
    std::vector<uint8_t> input_;  // its size is the capacity; the first held_ bytes are used
    size_t held_ = 0;
    std::vector<uint8_t> output_;
    bool prepared_ = false;
};
