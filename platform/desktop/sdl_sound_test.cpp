// The SDL sound output on SDL's headless drivers: the disk driver's file holds what a speaker
// would have played, frame by frame in real time; the dummy driver plays into nothing.
#include "platform/desktop/sdl_sound.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/core/sound_output.h"
#include "platform/win32.h"

namespace {

using platform::SdlSoundOutput;

constexpr int kDeviceRate = 44100;
constexpr std::size_t kBufferFrames = 512;
constexpr std::size_t kStdioFrames = 4096 / 4;
// Resampling rings for a few frames at each end of a sound.
constexpr std::size_t kEdgeFrames = 32;

// A mono PCM WAVE image holding one steady level, so each sound can be told apart in the
// output by its sign. `level` is in 16-bit units; 8-bit samples are unsigned.
std::vector<std::uint8_t> MakeWave(int rate, int bits, std::size_t frames, int level) {
    const std::size_t dataBytes = frames * static_cast<std::size_t>(bits / 8);
    std::vector<std::uint8_t> wave;
    auto text = [&](const char* four) {
        for (int i = 0; i < 4; ++i) wave.push_back(static_cast<std::uint8_t>(four[i]));
    };
    auto number = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) wave.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    text("RIFF");
    number(static_cast<std::uint32_t>(36 + dataBytes + dataBytes % 2), 4);
    text("WAVE");
    text("fmt ");
    number(16, 4);
    number(1, 2);  // PCM
    number(1, 2);  // mono
    number(static_cast<std::uint32_t>(rate), 4);
    number(static_cast<std::uint32_t>(rate * bits / 8), 4);
    number(static_cast<std::uint32_t>(bits / 8), 2);
    number(static_cast<std::uint32_t>(bits), 2);
    text("data");
    number(static_cast<std::uint32_t>(dataBytes), 4);
    for (std::size_t i = 0; i < frames; ++i) {
        if (bits == 8) {
            number(static_cast<std::uint32_t>(128 + level / 256), 1);
        } else {
            number(static_cast<std::uint16_t>(static_cast<std::int16_t>(level)), 2);
        }
    }
    if (dataBytes % 2 != 0) wave.push_back(0);
    return wave;
}

BOOL Play(SdlSoundOutput& output, const std::vector<std::uint8_t>& wave, UINT flags) {
    return output.Play(wave.data(), wave.size(), flags | SND_MEMORY);
}

// Sets environment variables for the life of the object; SDL reads them when audio starts.
class ScopedEnvironment {
public:
    void Set(const char* name, const std::string& value) {
        const char* old = getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            it->second ? setenv(it->first.c_str(), it->second->c_str(), 1)
                       : unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class InstalledOutput {
public:
    explicit InstalledOutput(platform::SoundOutput* output)
        : previous_(platform::CurrentSoundOutput()) {
        platform::SetSoundOutput(output);
    }
    ~InstalledOutput() { platform::SetSoundOutput(previous_); }

private:
    platform::SoundOutput* previous_;
};

// Consecutive output frames of one kind: '+' and '-' are the two test levels, '.' silence.
struct Stretch {
    char kind;
    std::size_t frames;
};

std::string Describe(const std::vector<Stretch>& stretches) {
    std::string text;
    for (const auto& [kind, frames] : stretches) text += kind + std::to_string(frames) + " ";
    return text;
}

// Reads back the disk driver's file of 16-bit stereo frames.
class DiskAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "sdl-sound-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        environment_.Set("SDL_AUDIODRIVER", "disk");
        environment_.Set("SDL_DISKAUDIOFILE", File());
        // A buffer's real playing time, so what was queued and not yet heard can be cut off.
        environment_.Set("SDL_DISKAUDIODELAY", "23");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string File() const { return folder_ + "/out.raw"; }

    std::size_t Frames() const {
        std::error_code error;
        const auto size = std::filesystem::file_size(File(), error);
        return error ? 0 : static_cast<std::size_t>(size / 4);
    }

    // The left channel from `fromFrame` on; the few frames where resampling rings between
    // levels belong to no stretch.
    std::vector<Stretch> Stretches(std::size_t fromFrame = 0) const {
        std::ifstream in(File(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                      std::istreambuf_iterator<char>());
        std::vector<Stretch> stretches;
        for (std::size_t at = fromFrame * 4; at + 4 <= bytes.size(); at += 4) {
            std::int16_t sample;
            std::memcpy(&sample, bytes.data() + at, 2);
            const char kind = sample > 8000 ? '+' : sample < -8000 ? '-' : sample == 0 ? '.' : 0;
            if (kind == 0) continue;
            if (stretches.empty() || stretches.back().kind != kind) stretches.push_back({kind, 0});
            ++stretches.back().frames;
        }
        return stretches;
    }
    std::size_t Count(char kind) const {
        std::size_t frames = 0;
        for (const Stretch& stretch : Stretches()) {
            if (stretch.kind == kind) frames += stretch.frames;
        }
        return frames;
    }

    // The driver writes at a real device's pace whatever was queued, so this waits for time
    // to pass in the audio thread. The deadline only keeps a broken build from hanging.
    template <typename Condition>
    bool WaitUntil(Condition done) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    ScopedEnvironment environment_;
    std::string folder_;
};

// A sound as the program ships one (8-bit 11025 Hz) lasting 0.2 s: 8820 frames at 44.1 kHz.
TEST_F(DiskAudioTest, SynchronousPlayReturnsOnlyWhenTheWholeSoundWasPlayed) {
    const auto sound = MakeWave(11025, 8, 2205, 25600);
    const std::size_t expected = 2205 * kDeviceRate / 11025;
    SdlSoundOutput output;

    ASSERT_EQ(Play(output, sound, SND_SYNC), TRUE);

    // The driver's file is written through a stdio buffer of 4 KiB, so the last 1024 frames
    // may still sit in it when the call returns; everything before them is on disk.
    EXPECT_GE(Count('+'), expected - kStdioFrames) << Describe(Stretches());
    ASSERT_TRUE(WaitUntil([&] { return Count('+') >= expected - kEdgeFrames; }));
    EXPECT_LE(Count('+'), expected + kEdgeFrames) << Describe(Stretches());
}

// 1. An asynchronous play returns while its sound is still queued, and it starts playing.
// 2. Another one replaces it at once and plays whole, with no gap between the two.
// 3. Stop silences what is playing within a buffer.
TEST_F(DiskAudioTest, AsynchronousPlayAndStopCutOffWhatIsPlaying) {
    const auto longSound = MakeWave(11025, 8, 22050, 25600);    // 2 s, 88200 frames
    const auto shortSound = MakeWave(22050, 16, 2205, -20000);  // 0.1 s, 4410 frames
    const std::size_t longFrames = 88200;
    const std::size_t shortFrames = 4410;
    SdlSoundOutput output;

    ASSERT_EQ(Play(output, longSound, SND_ASYNC), TRUE);
    EXPECT_LT(Count('+'), longFrames / 2);
    ASSERT_TRUE(WaitUntil([&] { return Count('+') > 0; }));

    const std::size_t secondPlay = Frames();
    ASSERT_EQ(Play(output, shortSound, SND_ASYNC), TRUE);
    ASSERT_TRUE(
        WaitUntil([&] { return Frames() >= secondPlay + shortFrames + 4 * kBufferFrames; }));
    std::vector<Stretch> heard = Stretches();
    if (!heard.empty() && heard.front().kind == '.') heard.erase(heard.begin());
    ASSERT_GE(heard.size(), 3u) << Describe(heard);
    EXPECT_EQ(heard[0].kind, '+') << Describe(heard);
    EXPECT_LT(heard[0].frames, longFrames / 2) << Describe(heard);
    EXPECT_EQ(heard[1].kind, '-') << Describe(heard);
    EXPECT_NEAR(static_cast<double>(heard[1].frames), shortFrames, kEdgeFrames) << Describe(heard);
    EXPECT_EQ(heard[2].kind, '.') << Describe(heard);

    const std::size_t thirdPlay = Frames();
    ASSERT_EQ(Play(output, longSound, SND_ASYNC), TRUE);
    output.Stop();
    ASSERT_TRUE(WaitUntil([&] { return Frames() >= thirdPlay + 8 * kBufferFrames; }));
    heard = Stretches(thirdPlay);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back().kind, '.') << Describe(heard);
    EXPECT_GE(heard.back().frames, 4 * kBufferFrames) << Describe(heard);
}

class DummyAudioTest : public ::testing::Test {
protected:
    void SetUp() override { environment_.Set("SDL_AUDIODRIVER", "dummy"); }
    ScopedEnvironment environment_;
};

TEST_F(DummyAudioTest, EachSoundIsConvertedOnce) {
    const auto tap = MakeWave(11025, 16, 254, 1000);
    const auto chime = MakeWave(22050, 8, 300, 1000);
    SdlSoundOutput output;

    EXPECT_EQ(Play(output, chime, SND_ASYNC), TRUE);
    EXPECT_EQ(Play(output, chime, SND_SYNC), TRUE);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Play(output, tap, SND_SYNC), TRUE);
        EXPECT_EQ(Play(output, chime, SND_ASYNC), TRUE);
    }
    EXPECT_EQ(output.Conversions(), 2);
    EXPECT_EQ(output.OpenAttempts(), 1);
}

TEST_F(DummyAudioTest, WavesThatCannotBeDecodedFail) {
    const auto good = MakeWave(11025, 8, 100, 1000);
    auto patched = [&](std::size_t at, const char* bytes, std::size_t count) {
        auto wave = good;
        for (std::size_t i = 0; i < count; ++i) {
            wave.at(at + i) = static_cast<std::uint8_t>(bytes[i]);
        }
        return wave;
    };
    const std::pair<const char*, std::vector<std::uint8_t>> broken[] = {
        {"no format chunk", patched(12, "junk", 4)},
        {"compressed encoding", patched(20, "\x55", 1)},
        {"no channels", patched(22, "\0", 1)},
        {"no data chunk", patched(36, "junk", 4)},
    };
    SdlSoundOutput output;

    for (const auto& [what, wave] : broken) {
        EXPECT_EQ(Play(output, wave, SND_SYNC), FALSE) << what;
    }
    EXPECT_EQ(output.Conversions(), 0);
    EXPECT_EQ(Play(output, good, SND_SYNC), TRUE);
}

TEST(SdlSoundWithoutDeviceTest, PlaysFailQuietlyWithoutRetryingAtOnce) {
    ScopedEnvironment environment;
    environment.Set("SDL_AUDIODRIVER", "chalkmere-no-such-driver");
    const auto sound = MakeWave(11025, 8, 100, 1000);
    SdlSoundOutput output;
    InstalledOutput installed(&output);

    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Play(output, sound, SND_ASYNC), FALSE);
    EXPECT_EQ(Play(output, sound, SND_SYNC), FALSE);
    EXPECT_EQ(sndPlaySoundW(reinterpret_cast<LPCWSTR>(sound.data()), SND_ASYNC | SND_MEMORY),
              FALSE);
    output.Stop();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(output.OpenAttempts(), 1);
}

}  // namespace
