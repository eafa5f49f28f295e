// The recording sound output for tests.
#include "platform/core/sound_output.h"
#include "platform/testing/testing.h"

namespace platform::testing {

class SoundRecorder::Output : public SoundOutput {
public:
    explicit Output(SoundRecorder& recorder) : recorder_(recorder) {}
    BOOL Play(const void* wave, std::size_t, UINT flags) override {
        Record({wave, flags});
        return TRUE;
    }
    void Stop() override { Record({nullptr, 0}); }

private:
    void Record(const SoundCall& call) {
        recorder_.calls.push_back(call);
        if (recorder_.onPlay) recorder_.onPlay(call);
    }
    SoundRecorder& recorder_;
};

SoundRecorder::SoundRecorder()
    : output_(std::make_unique<Output>(*this)), previous_(CurrentSoundOutput()) {
    SetSoundOutput(output_.get());
}

SoundRecorder::~SoundRecorder() { SetSoundOutput(previous_); }

}  // namespace platform::testing
