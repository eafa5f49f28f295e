// The SDL sound output on SDL's disk driver, whose file holds what a speaker would have played,
// frame by frame in real time, and without a driver.
#include "platform/desktop/sdl_sound.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/testing/testing.h"
#include "platform/win32.h"

namespace {

using Wave = std::vector<std::uint8_t>;

constexpr std::size_t kBufferFrames = 512;
// Resampling rings for a few frames at each end of a sound.
constexpr std::size_t kEdgeFrames = 32;

// A mono PCM WAVE image holding one steady level, so each sound can be told apart in the
// output by its sign. `level` is in 16-bit units; 8-bit samples are unsigned.
Wave MakeWave(std::uint32_t rate, std::uint32_t bits, std::size_t frames, int level) {
    const auto size = static_cast<std::uint32_t>(frames * bits / 8);
    Wave wave;
    const auto put = [&](std::uint32_t value, std::uint32_t bytes) {
        for (std::uint32_t i = 0; i < bytes; ++i) wave.push_back((value >> (8 * i)) & 0xFF);
    };
    // "RIFF" and its size, "WAVE", "fmt " and its size, PCM and mono, frames and bytes a
    // second, bytes a frame and bits a sample, "data" and its size.
    for (std::uint32_t field :
         {0x46464952u, 36 + size + size % 2, 0x45564157u, 0x20746D66u, 16u, 0x10001u, rate,
          rate * bits / 8, bits / 8 | bits << 16, 0x61746164u, size})
        put(field, 4);
    const std::uint32_t sample = bits == 8 ? 128 + level / 256 : static_cast<std::uint16_t>(level);
    for (std::size_t i = 0; i < frames; ++i) put(sample, bits / 8);
    if (size % 2 != 0) wave.push_back(0);
    return wave;
}

BOOL Play(platform::SdlSoundOutput& output, const Wave& wave, UINT flags) {
    return output.Play(wave.data(), wave.size(), flags | SND_MEMORY);
}

// The driver writes at a real device's pace whatever was queued, so tests wait for time to
// pass in the audio thread; the limit of 30 s only keeps a broken build from hanging.
bool Eventually(const std::function<bool()>& done) {
    for (int waits = 0; waits < 15000 && !done(); ++waits) usleep(2000);
    return done();
}

// SDL's start-up asks D-Bus for the session bus, which libdbus, with a display set and no bus,
// tries to launch through X, leaking a buffer when it cannot. Sound needs neither.
void KeepOffTheDesktop() {
    unsetenv("DISPLAY");
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// A stretch of consecutive output frames of one kind ('+' and '-' are the two test levels,
// '.' silence) and its length in frames.
using Stretch = std::pair<char, std::size_t>;

// What the disk driver's file of 16-bit stereo frames holds.
class DiskAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Each test names its driver; nothing else in this program reads these.
        KeepOffTheDesktop();
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
        // A buffer's real playing time, so what was queued and not yet heard can be cut off.
        setenv("SDL_DISKAUDIODELAY", "23", 1);
    }
    std::size_t Frames() const { return std::filesystem::file_size(file_) / 4; }
    // The left channel from `fromFrame` on; the few frames where resampling rings between
    // levels belong to no stretch.
    std::vector<Stretch> Heard(std::size_t fromFrame = 0) const {
        std::ifstream in(file_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(fromFrame * 4));
        std::vector<Stretch> stretches;
        for (std::int16_t frame[2]; in.read(reinterpret_cast<char*>(frame), sizeof frame);) {
            if (frame[0] != 0 && frame[0] >= -8000 && frame[0] <= 8000) continue;
            const char kind = frame[0] == 0 ? '.' : frame[0] > 0 ? '+' : '-';
            if (stretches.empty() || stretches.back().first != kind) stretches.push_back({kind, 0});
            ++stretches.back().second;
        }
        return stretches;
    }
    std::size_t Count(char kind) const {
        std::size_t frames = 0;
        for (const auto& [heard, length] : Heard()) frames += heard == kind ? length : 0;
        return frames;
    }

    platform::testing::TemporaryFolder folder_;
    const std::string file_ = folder_.Path() + "/out.raw";
};

// 1. A synchronous play of a sound as the program ships one (8-bit 11025 Hz, 0.2 s: 8820
//    frames at 44.1 kHz) returns only when the whole sound was played.
// 2. An asynchronous play returns while its sound is still queued, and it starts playing.
// 3. Another one replaces it at once and plays whole, with no gap between the two.
// 4. Stop silences what is playing within a buffer.
// 5. Images that cannot be decoded fail, synchronously or not. Each image was converted on its
//    first play only, whichever way it was played again, on the one device.
TEST_F(DiskAudioTest, PlaysAreHeardWholeAndCutOffAtOnce) {
    const std::size_t syncFrames = 8820, longFrames = 88200, shortFrames = 4410;
    const auto longSound = MakeWave(11025, 8, 22050, 25600);    // 2 s
    const auto shortSound = MakeWave(22050, 16, 2205, -20000);  // 0.1 s
    platform::SdlSoundOutput output;
    ASSERT_EQ(Play(output, MakeWave(11025, 8, 2205, -25600), SND_SYNC), TRUE);
    // The driver's file is written through a stdio buffer of 4 KiB, so the last 1024 frames
    // may still sit in it when the call returns; everything before them is on disk.
    EXPECT_GE(Count('-'), syncFrames - 1024) << ::testing::PrintToString(Heard());
    ASSERT_TRUE(Eventually([&] { return Count('-') >= syncFrames - kEdgeFrames; }));
    EXPECT_LE(Count('-'), syncFrames + kEdgeFrames) << ::testing::PrintToString(Heard());

    const std::size_t firstPlay = Frames();
    ASSERT_EQ(Play(output, longSound, SND_ASYNC), TRUE);
    ASSERT_TRUE(Eventually([&] { return Count('+') > 0; }));
    const std::size_t secondPlay = Frames();
    ASSERT_EQ(Play(output, shortSound, SND_ASYNC), TRUE);
    ASSERT_TRUE(
        Eventually([&] { return Frames() >= secondPlay + shortFrames + 4 * kBufferFrames; }));
    std::vector<Stretch> heard = Heard(firstPlay);
    SCOPED_TRACE(::testing::PrintToString(heard));
    if (!heard.empty() && heard.front().first == '.') heard.erase(heard.begin());
    ASSERT_GE(heard.size(), 3u);
    EXPECT_EQ(std::string({heard[0].first, heard[1].first, heard[2].first}), "+-.");
    EXPECT_LT(heard[0].second, longFrames / 2);
    EXPECT_NEAR(static_cast<double>(heard[1].second), shortFrames, kEdgeFrames);

    const std::size_t thirdPlay = Frames();
    ASSERT_EQ(Play(output, longSound, SND_ASYNC), TRUE);
    output.Stop();
    ASSERT_TRUE(Eventually([&] { return Frames() >= thirdPlay + 8 * kBufferFrames; }));
    heard = Heard(thirdPlay);
    SCOPED_TRACE(::testing::PrintToString(heard));
    EXPECT_TRUE(!heard.empty() && heard.back().first == '.' &&
                heard.back().second >= 4 * kBufferFrames);

    for (const auto& [what, at, byte] :
         {std::tuple{"no format chunk", 12, 'j'}, std::tuple{"compressed", 20, '\x55'},
          std::tuple{"no channels", 22, '\0'}, std::tuple{"no data chunk", 36, 'j'}}) {
        auto broken = shortSound;
        broken[at] = static_cast<std::uint8_t>(byte);
        EXPECT_EQ(Play(output, broken, SND_SYNC), FALSE) << what;
        EXPECT_EQ(Play(output, broken, SND_ASYNC), FALSE) << what;
    }
    EXPECT_EQ(Play(output, shortSound, SND_SYNC), TRUE);
    EXPECT_EQ(output.Conversions(), 3);
    EXPECT_EQ(output.OpenAttempts(), 1);
}

// Without a device every play fails at once and quietly, and the device is not asked for
// again straight away.
TEST(SdlSoundTest, WithoutADeviceEveryPlayFailsQuietly) {
    KeepOffTheDesktop();
    setenv("SDL_AUDIODRIVER", "chalkmere-no-such-driver", 1);
    platform::SdlSoundOutput silent;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Play(silent, MakeWave(22050, 8, 300, 1000), SND_ASYNC), FALSE);
    EXPECT_EQ(Play(silent, MakeWave(22050, 8, 300, 1000), SND_SYNC), FALSE);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(silent.OpenAttempts(), 1);
}

}  // namespace
