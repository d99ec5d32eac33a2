// A converter from one wave format to another through one or more conversion stages, planned
// when it is opened:
//   1. [In, Out] when one stream converts In into Out;
//   2. otherwise A := the PCM format the codec layer suggests for In ("Conversion not possible."
//      when In cannot be converted into it); A joins unless it equals In or Out;
//   3. when A cannot be converted into Out: B := the PCM format suggested for Out; A → B and
//      B → Out must both exist ("Conversion not possible." otherwise); B joins unless it equals A
//      or Out;
//   4. Out ends the plan; a stage for each consecutive pair.
// The 8-bit stereo capture format comes to every codec of the codec table through 16-bit mono
// PCM at 11025 Hz.
//
// Each block given to Convert() goes through the stages in turn; a stage that produces nothing
// ends the pass. What the last stage produces goes to the subscribers, in the order they
// subscribed. An exception from a subscriber (a write error of the file) leaves Convert() with
// the converter still open and consistent. Close() drops what the stages hold (no flush).
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "TdeConversionStage.h"
#include "TdeWaveFormat.h"

class TdeAudioConvertor {
public:
    using DataEvent = std::function<void(TdeAudioConvertor& sender, std::span<const uint8_t>)>;

    TdeAudioConvertor();
    ~TdeAudioConvertor();
    TdeAudioConvertor(const TdeAudioConvertor&) = delete;
    TdeAudioConvertor& operator=(const TdeAudioConvertor&) = delete;

    // Both raise "Cannot perform this action while active." while the converter is open.
    void SetInputFormat(const TdeWaveFormat& format);
    void SetOutputFormat(const TdeWaveFormat& format);
    const TdeWaveFormat& InputFormat() const { return in_; }
    const TdeWaveFormat& OutputFormat() const { return out_; }
    // Whether conversion must keep up with real time. The codec layer converts at once in
    // either case; the setting is kept for the callers that state it (both recording
    // converters leave it false).
    bool RequestRealTime = false;

    void Subscribe(DataEvent subscriber);
    void ClearSubscribers();

    // Plans and creates the stages. Raises "Conversion not possible." (the converter then stays
    // closed) or "Cannot perform this action while active." (also from within a subscriber).
    void Open();
    // Destroys the stages; bytes they hold are dropped. Safe when closed, and from a subscriber.
    void Close();
    bool Active() const { return active_; }

    // Passes `block` through the stages. Raises "Cannot perform this action while not
    // active." when closed, the stages' errors, and whatever a subscriber raises.
    void Convert(std::span<const uint8_t> block);

    // The plan of the open converter (the formats from In to Out) and its stages.
    const std::vector<TdeWaveFormat>& Plan() const { return plan_; }
    size_t StageCount() const { return stages_.size(); }
    const TdeConversionStage& Stage(size_t i) const { return *stages_[i]; }

    // The plan from `in` to `out` as Open() makes it.
    static std::vector<TdeWaveFormat> MakePlan(const TdeWaveFormat& in, const TdeWaveFormat& out);

private:
    TdeWaveFormat in_;
    TdeWaveFormat out_;
    std::vector<TdeWaveFormat> plan_;
    std::vector<std::unique_ptr<TdeConversionStage>> stages_;
    std::vector<DataEvent> subscribers_;
    bool active_ = false;
    int converting_ = 0;  // depth of Convert() calls; a Close() within one is finished after it
    bool closeLater_ = false;
};
