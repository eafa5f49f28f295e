// Every resource compiled into the program, checked against what the code relies on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "platform/core/bmp.h"
#include "platform/core/resource_loading.h"
#include "platform/core/wave.h"
#include "platform/win32.h"
#include "resources/ResourceIds.h"

namespace {

// How much of a bitmap is the transparent key: none, the background around each face, or only
// corners.
enum class Key { None, Background, Corners };

// The bitmaps as the program sees them after loading: the key is exactly the background, and
// no pixel of a shape matches it on 5-6-5 bits or comes near it (a halo). A button's pressed
// face is the darker.
TEST(Resources, Bitmaps) {
    // Each bitmap's size and depth, and how many faces (button states, animation frames) stand
    // side by side in it.
    using Row = std::tuple<int, int, int, int, int, Key>;
    for (const auto& [id, width, height, bits, faces, key] : {
             Row{IDB_GAME_BOARD, 240, 320, 8, 1, Key::None},
             Row{IDB_SETTINGS_BOARD, 240, 320, 8, 1, Key::None},
             Row{IDB_TITLE, 240, 320, 8, 1, Key::None},
             Row{IDB_CHECK_MARK, 400, 100, 8, 4, Key::Background},
             Row{IDB_STAR, 15, 15, 8, 1, Key::Background},
             Row{IDB_TICK, 10, 10, 4, 1, Key::Background},
             Row{IDB_EXIT_BOX, 20, 20, 4, 1, Key::None},
             Row{IDB_SETTINGS_BUTTON, 80, 35, 8, 2, Key::Corners},
             Row{IDB_OK_BUTTON, 120, 30, 4, 2, Key::Background},
             Row{IDB_RESET_BUTTON, 180, 30, 4, 2, Key::Background},
             Row{IDB_RESET_RING, 2040, 42, 4, 20, Key::Background},
             Row{IDB_ANIMALS, 640, 64, 8, 10, Key::Background},
             Row{IDB_ANIMALS_SMALL, 192, 24, 8, 8, Key::Background},
             Row{IDB_CAPTIONS, 704, 24, 8, 4, Key::Background},
             Row{IDB_CELL_MARK, 76, 76, 4, 1, Key::Background},
             Row{IDB_REMOVE_BUTTON, 48, 24, 4, 2, Key::Background},
             Row{IDB_REMOVE_RING, 720, 36, 4, 20, Key::Background},
             Row{IDB_BACK_BUTTON, 80, 35, 8, 2, Key::Corners},
         }) {
        SCOPED_TRACE(id);
        const auto* resource = platform::FindProgramResource(platform::ResourceType::Bitmap, id);
        platform::BmpInfo format;
        ASSERT_TRUE(resource != nullptr &&
                    platform::ReadBmpInfo(resource->data, resource->size, format));
        // Decoded as LoadBitmapW decodes it.
        const auto bitmap = platform::DecodeBmp(resource->data, resource->size);
        ASSERT_EQ(std::tuple(bitmap->width, bitmap->height, format.bitsPerPixel),
                  std::tuple(width, height, bits));
        const COLORREF pink = bits == 4 ? RGB(0xF6, 0x8C, 0xC5) : RGB(0xF7, 0x8C, 0xC6);
        const auto at = [&](int x, int y) { return platform::ColourFromPixel(bitmap->Row(y)[x]); };
        const int faceWidth = width / faces;
        std::vector<int> shape(faces), brightness(faces);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const COLORREF pixel = at(x, y);
                const int r = GetRValue(pixel), g = GetGValue(pixel), b = GetBValue(pixel);
                if (pixel == pink) continue;
                ASSERT_FALSE(std::abs(r - 0xF6) <= 48 && std::abs(g - 0x8C) <= 48 &&
                             std::abs(b - 0xC5) <= 48)
                    << "a colour at or near the key at " << x << ", " << y;
                ++shape[x / faceWidth];
                brightness[x / faceWidth] += r + g + b;
            }
        }
        const int keyed = width * height - std::accumulate(shape.begin(), shape.end(), 0);
        for (int face = 0; face < faces; ++face) {
            EXPECT_GT(shape[face], faceWidth * height / 20) << "face " << face << " is bare";
            if (key != Key::Background) continue;
            EXPECT_EQ(at(face * faceWidth, 0), pink) << "face " << face;
            EXPECT_EQ(at(face * faceWidth + faceWidth - 1, height - 1), pink);
        }
        EXPECT_EQ(keyed == 0, key == Key::None);
        EXPECT_EQ(keyed > width * height / 5, key == Key::Background);
        EXPECT_TRUE(faces != 2 || brightness[1] < brightness[0]) << "the pressed face is darker";
    }
}

// The sounds are mono PCM of the rate, sample size and length the program was timed with.
TEST(Resources, Waves) {
    using Row = std::tuple<int, int, int, double>;
    for (const auto& [id, rate, bits, milliseconds] :
         {Row{IDW_TAP, 11025, 16, 23}, Row{IDW_CORRECT, 11025, 8, 155},
          Row{IDW_LEVEL_UP, 22050, 8, 1690}, Row{IDW_NAVIGATE, 22050, 16, 84},
          Row{IDW_WELCOME, 11025, 8, 1720}}) {
        const auto* resource = platform::FindProgramResource(platform::ResourceType::Wave, id);
        platform::WaveImage wave;
        ASSERT_TRUE(resource != nullptr &&
                    platform::ReadWave(resource->data, resource->size, wave));
        EXPECT_EQ(wave.rate, rate) << id;
        EXPECT_EQ(wave.bitsPerSample, bits) << id;
        EXPECT_EQ(wave.channels, 1) << id;
        EXPECT_NEAR(wave.Frames() * 1000.0 / wave.rate, milliseconds, 1.0) << id;
    }
}

// The program's texts, as it loads them into buffers of 20 characters.
TEST(Resources, Strings) {
    for (const auto& [id, text] :
         {std::pair{IDS_TITLE, u"Chalkmere"}, std::pair{IDS_CLASS_NAME, u"ORVANE"},
          std::pair{IDS_VERSION, u"v. 1.1"}, std::pair{IDS_SCORE, u"Score"},
          std::pair{IDS_YEARS, u"2024-2026"}}) {
        WCHAR buffer[20];
        EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), id, buffer, 20), lstrlenW(text));
        EXPECT_EQ(std::u16string(buffer), text);
    }
}

}  // namespace
