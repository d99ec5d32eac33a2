#include "TdeAudioConvertor.h"

#include "AudioTexts.h"
#include "EAudioError.h"
#include "TdeAudioCodecs.h"

TdeAudioConvertor::TdeAudioConvertor() = default;

TdeAudioConvertor::~TdeAudioConvertor() = default;

void TdeAudioConvertor::SetInputFormat(const TdeWaveFormat& format) {
    if (active_) throw EAudioError(AudioTexts::kWhileActive);
    in_ = format;
}

void TdeAudioConvertor::SetOutputFormat(const TdeWaveFormat& format) {
    if (active_) throw EAudioError(AudioTexts::kWhileActive);
    out_ = format;
}

void TdeAudioConvertor::Subscribe(DataEvent subscriber) {
    subscribers_.push_back(std::move(subscriber));
}

void TdeAudioConvertor::ClearSubscribers() {
    subscribers_.clear();
}

std::vector<TdeWaveFormat> TdeAudioConvertor::MakePlan(const TdeWaveFormat& in,
                                                       const TdeWaveFormat& out) {
    using namespace TdeAudioCodecs;
    if (CanConvert(in, out)) return {in, out};
    std::vector<TdeWaveFormat> plan{in};
    const auto a = SuggestPcm(in);
    if (!a || !CanConvert(in, *a)) throw EAudioError(AudioTexts::kConversionNotPossible);
    if (*a != in && *a != out) plan.push_back(*a);
    if (!CanConvert(*a, out)) {
        const auto b = SuggestPcm(out);
        if (!b || !CanConvert(*a, *b) || !CanConvert(*b, out))
            throw EAudioError(AudioTexts::kConversionNotPossible);
        if (*b != *a && *b != out) plan.push_back(*b);
    }
    plan.push_back(out);
    return plan;
}

void TdeAudioConvertor::Open() {
    if (active_ || converting_ > 0) throw EAudioError(AudioTexts::kWhileActive);
    std::vector<TdeWaveFormat> plan = MakePlan(in_, out_);
    std::vector<std::unique_ptr<TdeConversionStage>> stages;
    for (size_t i = 0; i + 1 < plan.size(); ++i)
        stages.push_back(std::make_unique<TdeConversionStage>(plan[i], plan[i + 1]));
    plan_ = std::move(plan);
    stages_ = std::move(stages);
    active_ = true;
    closeLater_ = false;
}

void TdeAudioConvertor::Close() {
    active_ = false;
    if (converting_ > 0) {
        closeLater_ = true;  // the stages are in use further up the stack
        return;
    }
    stages_.clear();
    plan_.clear();
}

void TdeAudioConvertor::Convert(std::span<const uint8_t> block) {
    if (!active_) throw EAudioError(AudioTexts::kWhileNotActive);
    struct Depth {
        TdeAudioConvertor& c;
        explicit Depth(TdeAudioConvertor& conv) : c(conv) { ++c.converting_; }
        ~Depth() {
            if (--c.converting_ == 0 && c.closeLater_) {
                c.closeLater_ = false;
                c.stages_.clear();
                c.plan_.clear();
            }
        }
    } depth(*this);

    std::span<const uint8_t> data = block;
    for (auto& stage : stages_) {
        data = stage->Push(data);
        if (data.empty()) return;
    }
    // A copy: a subscriber may subscribe or clear the list while it is called.
    const std::vector<DataEvent> subscribers = subscribers_;
    for (size_t i = 0; i < subscribers.size() && active_; ++i) subscribers[i](*this, data);
}
