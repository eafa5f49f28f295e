// Renders, headlessly, what the running program must show at the points where the end-to-end
// tests take screenshots, with the same screens and resources the program is built from:
//   reference_render <folder> <seed>
// Each state starts like the program does with a fresh registry: srand(seed), then the game,
// settings and title screens in that order, sharing one progress record. Writes 240 × 320
// PNGs:
//   title.png         the title screen
//   game.png          the drill as first shown
//   settings.png      the settings screen as first shown
//   game-played.png   the drill after its four cards were tapped left to right and the check
//                     mark has ended
//   game-level3.png   the drill after level 3 was chosen on the settings screen
// and prints "right-slot=<0..3>": where the first problem's right card stands, left first.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "drill/GameScreen.h"
#include "drill/SettingsScreen.h"
#include "drill/SplashScreen.h"
#include "platform/testing/testing.h"
#include "tests/support/Pixels.h"

namespace {

constexpr int kChosenLevel = 3;
constexpr DWORD kStartTime = 1000;

// The card row as the game lays it out: four 46 × 50 cards, 50 apart from x 20, at y 268.
constexpr std::int32_t kCardLeft = 20;
constexpr std::int32_t kCardPitch = 50;
constexpr std::int32_t kCardY = 268;
constexpr std::int32_t kCardWidth = 46;
constexpr std::int32_t kCardHeight = 50;

// What the program holds once it has started: its own registry and the three screens, built
// in the program's order so that they draw the same random numbers.
class Session {
public:
    Session(HWND window, unsigned seed) {
        platform::testing::SetTickCount(kStartTime);
        std::srand(seed);
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        game = std::make_unique<GameScreen>(window, instance);
        settings = std::make_unique<SettingsScreen>(window, instance);
        title = std::make_unique<SplashScreen>(window, instance);
    }

    // Makes `screen` the shown one and paints it in full, as a switch of screens does.
    void Show(Screen& screen) {
        for (Screen* each : {static_cast<Screen*>(game.get()), static_cast<Screen*>(settings.get()),
                             static_cast<Screen*>(title.get())}) {
            each->active = each == &screen;
        }
        screen.Redraw(true);
    }

    static void Tap(Screen& screen, std::int32_t x, std::int32_t y) {
        screen.PointerDown(x, y);
        screen.PointerUp(x, y);
    }

    // Ticks the shown screen for `milliseconds` of clock time, as the main loop does.
    void Run(Screen& screen, DWORD milliseconds) {
        for (DWORD elapsed = 0; elapsed <= milliseconds; elapsed += 5) {
            clock_ += 5;
            platform::testing::SetTickCount(clock_);
            screen.Tick(clock_);
        }
    }

    // Declared first, destroyed last: the screens release the progress record into it.
    platform::testing::TemporaryRegistry registry;
    std::unique_ptr<GameScreen> game;
    std::unique_ptr<SettingsScreen> settings;
    std::unique_ptr<SplashScreen> title;

private:
    DWORD clock_ = kStartTime;
};

bool Save(const platform::testing::HeadlessWindow& window, const std::string& folder,
          const char* name) {
    const std::string path = folder + "/" + name;
    if (testsupport::WritePng(window, path)) return true;
    std::fprintf(stderr, "reference_render: cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <seed>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const auto seed = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    platform::testing::InstallTestBackends();
    platform::testing::HeadlessWindow window(240, 320);
    bool saved = true;
    int rightSlot = -1;

    {
        Session first(window, seed);
        first.Show(*first.title);
        saved &= Save(window, folder, "title.png");
        first.Show(*first.game);
        saved &= Save(window, folder, "game.png");
        first.Show(*first.settings);
        saved &= Save(window, folder, "settings.png");
        rightSlot = (first.game->answers.At(0)->GetX() - kCardLeft) / kCardPitch;
    }
    {
        Session played(window, seed);
        played.Show(*played.game);
        for (int slot = 0; slot < 4; ++slot) {
            Session::Tap(*played.game, kCardLeft + kCardPitch * slot + kCardWidth / 2,
                         kCardY + kCardHeight / 2);
        }
        // The check mark runs four frames of 250 ms; two seconds see it out.
        played.Run(*played.game, 2000);
        played.Show(*played.game);
        saved &= Save(window, folder, "game-played.png");
    }
    {
        Session chosen(window, seed);
        chosen.Show(*chosen.game);
        chosen.Show(*chosen.settings);
        Session::Tap(*chosen.settings, 30 + 30 * ((kChosenLevel - 1) % 6) + 5,
                     87 + 22 * ((kChosenLevel - 1) / 6) + 5);
        chosen.Show(*chosen.game);
        saved &= Save(window, folder, "game-level3.png");
    }

    platform::testing::UseRealTickCount();
    std::printf("right-slot=%d\n", rightSlot);
    return saved ? 0 : 1;
}
