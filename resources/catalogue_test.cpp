// Every resource compiled into the program, checked against what the code relies on, and the
// functions that load them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "platform/core/bmp.h"
#include "platform/core/icons.h"
#include "platform/core/resource_loading.h"
#include "platform/core/wave.h"
#include "platform/testing/testing.h"
#include "platform/win32.h"
#include "resources/ResourceIds.h"

using platform::testing::HeadlessWindow;
using platform::testing::PixelAt;

namespace {

constexpr COLORREF kKey16 = RGB(0xF6, 0x8C, 0xC5);
constexpr COLORREF kKey256 = RGB(0xF7, 0x8C, 0xC6);

HMODULE Module() { return GetModuleHandleW(nullptr); }

bool MatchesKeyOn565(COLORREF c) {
    return (GetRValue(c) >> 3) == (0xF6 >> 3) && (GetGValue(c) >> 2) == (0x8C >> 2) &&
           (GetBValue(c) >> 3) == (0xC5 >> 3);
}

// A pinkish colour near the key: it would show as a fringe around a keyed shape.
bool NearKey(COLORREF c) {
    return std::abs(GetRValue(c) - 0xF6) <= 48 && std::abs(GetGValue(c) - 0x8C) <= 48 &&
           std::abs(GetBValue(c) - 0xC5) <= 48;
}

enum class Background { Opaque, Keyed, KeyedCorners };

struct BitmapSpec {
    int id;
    const char* name;
    int width, height;
    int colours;  // 256 or 16
    int faces;    // halves or frames side by side
    Background background;
};

const BitmapSpec kBitmaps[] = {
    {IDB_GAME_BOARD, "game board", 240, 320, 256, 1, Background::Opaque},
    {IDB_SETTINGS_BOARD, "settings board", 240, 320, 256, 1, Background::Opaque},
    {IDB_TITLE, "title", 240, 320, 256, 1, Background::Opaque},
    {IDB_CHECK_MARK, "check mark", 400, 100, 256, 4, Background::Keyed},
    {IDB_STAR, "star", 15, 15, 256, 1, Background::Keyed},
    {IDB_TICK, "tick", 10, 10, 16, 1, Background::Keyed},
    {IDB_EXIT_BOX, "exit box", 20, 20, 16, 1, Background::Opaque},
    {IDB_SETTINGS_BUTTON, "settings button", 80, 35, 256, 2, Background::KeyedCorners},
    {IDB_OK_BUTTON, "OK button", 120, 30, 16, 2, Background::Keyed},
    {IDB_RESET_BUTTON, "RESET button", 180, 30, 16, 2, Background::Keyed},
};

void PrintTo(const BitmapSpec& spec, std::ostream* out) { *out << spec.name; }

class BitmapResourceTest : public ::testing::TestWithParam<BitmapSpec> {
protected:
    // The pixels of the bitmap as the program sees them after loading.
    std::vector<COLORREF> LoadedPixels(const BitmapSpec& spec) {
        HBITMAP bitmap = LoadBitmapW(Module(), MAKEINTRESOURCEW(spec.id));
        EXPECT_NE(bitmap, nullptr);
        HDC windowDC = GetDC(window_);
        HDC dc = CreateCompatibleDC(windowDC);
        ReleaseDC(window_, windowDC);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < spec.height; ++y) {
            for (int x = 0; x < spec.width; ++x) pixels.push_back(PixelAt(dc, x, y));
        }
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
        return pixels;
    }

    HeadlessWindow window_;
};

TEST_P(BitmapResourceTest, HasItsSizeAndColourDepth) {
    const BitmapSpec& spec = GetParam();
    const auto* resource = platform::FindProgramResource(platform::ResourceType::Bitmap, spec.id);
    ASSERT_NE(resource, nullptr) << spec.name;
    platform::BmpInfo format;
    ASSERT_TRUE(platform::ReadBmpInfo(resource->data, resource->size, format)) << spec.name;
    EXPECT_EQ(format.width, spec.width);
    EXPECT_EQ(format.height, spec.height);
    EXPECT_EQ(format.bitsPerPixel, spec.colours == 256 ? 8 : 4);
    EXPECT_GT(format.paletteColours, 1);
    EXPECT_LE(format.paletteColours, spec.colours);
    EXPECT_EQ(spec.width % spec.faces, 0);

    BITMAP info{};
    HBITMAP bitmap = LoadBitmapW(Module(), MAKEINTRESOURCEW(spec.id));
    ASSERT_EQ(GetObjectW(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, spec.width);
    EXPECT_EQ(info.bmHeight, spec.height);
    DeleteObject(bitmap);
}

TEST_P(BitmapResourceTest, KeyColourOnlyWhereTheBackgroundIsAndNoPinkFringe) {
    const BitmapSpec& spec = GetParam();
    const std::vector<COLORREF> pixels = LoadedPixels(spec);
    const COLORREF key = spec.colours == 16 ? kKey16 : kKey256;
    const int faceWidth = spec.width / spec.faces;
    std::vector<int> shapePixels(spec.faces, 0);
    int keyPixels = 0;
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            const COLORREF c = pixels[y * spec.width + x];
            if (c == key) {
                ++keyPixels;
                continue;
            }
            ASSERT_FALSE(MatchesKeyOn565(c))
                << spec.name << " at " << x << "," << y << " would turn transparent";
            ASSERT_FALSE(NearKey(c)) << spec.name << " has a near-key colour at " << x << "," << y;
            ++shapePixels[x / faceWidth];
        }
    }
    switch (spec.background) {
        case Background::Opaque: EXPECT_EQ(keyPixels, 0) << spec.name; break;
        case Background::Keyed:
            // Each face stands on the key: its corners are background.
            for (int face = 0; face < spec.faces; ++face) {
                const int left = face * faceWidth;
                EXPECT_EQ(pixels[left], key) << spec.name << " face " << face;
                EXPECT_EQ(pixels[(spec.height - 1) * spec.width + left + faceWidth - 1], key)
                    << spec.name << " face " << face;
            }
            EXPECT_GT(keyPixels, spec.width * spec.height / 5) << spec.name;
            break;
        case Background::KeyedCorners:
            EXPECT_LT(keyPixels, spec.width * spec.height / 5) << spec.name;
            break;
    }
    for (int face = 0; face < spec.faces; ++face) {
        EXPECT_GT(shapePixels[face], faceWidth * spec.height / 20)
            << spec.name << " face " << face << " is nearly empty";
    }
}

using ButtonResourceTest = BitmapResourceTest;

TEST_P(ButtonResourceTest, PressedFaceIsDarkerThanTheRestingFace) {
    const BitmapSpec& spec = GetParam();
    const std::vector<COLORREF> pixels = LoadedPixels(spec);
    const COLORREF key = spec.colours == 16 ? kKey16 : kKey256;
    double brightness[2] = {0, 0};
    const int half = spec.width / 2;
    for (int y = 0; y < spec.height; ++y) {
        for (int x = 0; x < spec.width; ++x) {
            const COLORREF c = pixels[y * spec.width + x];
            if (c != key) brightness[x / half] += GetRValue(c) + GetGValue(c) + GetBValue(c);
        }
    }
    EXPECT_LT(brightness[1], brightness[0]) << spec.name;
}

std::string BitmapName(const ::testing::TestParamInfo<BitmapSpec>& param) {
    return "Bitmap" + std::to_string(param.param.id);
}

INSTANTIATE_TEST_SUITE_P(Resources, BitmapResourceTest, ::testing::ValuesIn(kBitmaps), BitmapName);
INSTANTIATE_TEST_SUITE_P(Resources, ButtonResourceTest,
                         ::testing::Values(kBitmaps[7], kBitmaps[8], kBitmaps[9]), BitmapName);

struct WaveSpec {
    int id;
    int rate;
    int bits;
    double milliseconds;
};

void PrintTo(const WaveSpec& spec, std::ostream* out) { *out << "WAVE " << spec.id; }

class WaveResourceTest : public ::testing::TestWithParam<WaveSpec> {};

TEST_P(WaveResourceTest, IsMonoPcmOfItsRateSampleSizeAndLength) {
    const WaveSpec& spec = GetParam();
    HRSRC resource = FindResourceW(Module(), MAKEINTRESOURCEW(spec.id), TEXT("WAVE"));
    ASSERT_NE(resource, nullptr);
    const void* data = LockResource(LoadResource(Module(), resource));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(data), 4), "RIFF");
    platform::WaveImage format;
    ASSERT_TRUE(platform::ReadWave(
        data, reinterpret_cast<const platform::Resource*>(resource)->size, format));
    EXPECT_EQ(format.rate, spec.rate);
    EXPECT_EQ(format.bitsPerSample, spec.bits);
    EXPECT_EQ(format.channels, 1);
    EXPECT_NEAR(format.Frames() * 1000.0 / format.rate, spec.milliseconds, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Resources, WaveResourceTest,
                         ::testing::Values(WaveSpec{IDW_TAP, 11025, 16, 23},
                                           WaveSpec{IDW_CORRECT, 11025, 8, 155},
                                           WaveSpec{IDW_LEVEL_UP, 22050, 8, 1690},
                                           WaveSpec{IDW_NAVIGATE, 22050, 16, 84},
                                           WaveSpec{IDW_WELCOME, 11025, 8, 1720}),
                         [](const ::testing::TestParamInfo<WaveSpec>& param) {
                             return "Wave" + std::to_string(param.param.id);
                         });

std::u16string LoadedString(UINT id, int capacity = 100) {
    std::u16string buffer(static_cast<std::size_t>(capacity), u'#');
    const int length = LoadStringW(Module(), id, buffer.data(), capacity);
    EXPECT_EQ(buffer[static_cast<std::size_t>(length)], 0) << "string " << id << " unterminated";
    return buffer.substr(0, static_cast<std::size_t>(length));
}

TEST(StringResources, HoldTheProgramsTexts) {
    EXPECT_EQ(LoadedString(IDS_TITLE), u"Chalkmere");
    EXPECT_EQ(LoadedString(IDS_CLASS_NAME), u"ORVANE");
    EXPECT_EQ(LoadedString(IDS_VERSION), u"v. 1.1");
    EXPECT_EQ(LoadedString(IDS_SCORE), u"Score");
    // A span of years: four digits, a dash, four digits, the later year second.
    const std::u16string years = LoadedString(IDS_YEARS);
    ASSERT_EQ(years.size(), 9u);
    const std::string first(years.begin(), years.begin() + 4);
    const std::string second(years.begin() + 5, years.end());
    EXPECT_TRUE(years[4] == u'-' || years[4] == u'\u2013');
    EXPECT_LT(std::stoi(first), std::stoi(second));
    EXPECT_LE(LoadedString(IDS_YEARS).size(), 19u) << "the title line holds 19 characters";
}

TEST(StringResources, LoadStringCutsToTheCapacityAndAlwaysTerminates) {
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(LoadStringW(Module(), IDS_TITLE, buffer, 4), 3);
    EXPECT_EQ(std::u16string(buffer), u"Cha");
    EXPECT_EQ(buffer[4], u'#') << "nothing written past the capacity";

    EXPECT_EQ(LoadStringW(Module(), IDS_TITLE, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);

    buffer[0] = u'x';
    EXPECT_EQ(LoadStringW(Module(), IDS_TITLE, buffer, 0), 0);
    EXPECT_EQ(buffer[0], u'x') << "capacity 0 writes nothing";
}

TEST(StringResources, AMissingStringGivesAnEmptyBuffer) {
    WCHAR buffer[8] = u"junk";
    EXPECT_EQ(LoadStringW(Module(), 9999, buffer, 8), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(LoadStringW(nullptr, IDS_TITLE, buffer, 8), 0);
}

TEST(ResourceLoading, MissingIdentifiersAndWrongKindsGiveNullResults) {
    HeadlessWindow window;
    EXPECT_EQ(LoadBitmapW(Module(), MAKEINTRESOURCEW(9999)), nullptr);
    EXPECT_EQ(LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_STAR)), nullptr);
    EXPECT_EQ(LoadBitmapW(Module(), TEXT("STAR")), nullptr) << "no named resources";
    EXPECT_EQ(FindResourceW(Module(), MAKEINTRESOURCEW(9999), TEXT("WAVE")), nullptr);
    EXPECT_EQ(FindResourceW(Module(), MAKEINTRESOURCEW(IDW_TAP), RT_BITMAP), nullptr);
    EXPECT_EQ(FindResourceW(Module(), MAKEINTRESOURCEW(IDB_STAR), TEXT("WAVE")), nullptr);
    EXPECT_EQ(FindResourceW(Module(), MAKEINTRESOURCEW(IDW_TAP), TEXT("MIDI")), nullptr);
    EXPECT_NE(FindResourceW(Module(), MAKEINTRESOURCEW(IDW_TAP), TEXT("wave")), nullptr)
        << "type names compare without regard to case";
    EXPECT_EQ(LoadResource(Module(), nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleW(TEXT("other.dll")), nullptr);
    EXPECT_EQ(LoadIconW(Module(), MAKEINTRESOURCEW(9999)), nullptr);
}

TEST(ResourceLoading, EachLoadedBitmapIsItsOwnObject) {
    HeadlessWindow window;
    const int before = platform::testing::LiveGdiObjectCount();
    HBITMAP first = LoadBitmapW(Module(), MAKEINTRESOURCEW(IDB_STAR));
    HBITMAP second = LoadBitmapW(Module(), MAKEINTRESOURCEW(IDB_STAR));
    EXPECT_NE(first, second);
    EXPECT_EQ(platform::testing::LiveGdiObjectCount(), before + 2);
    EXPECT_TRUE(DeleteObject(first));
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_EQ(platform::testing::LiveGdiObjectCount(), before);
}

TEST(ResourceLoading, TheIconGroupHoldsA32AndA16PixelImage) {
    HICON icon = LoadIconW(Module(), MAKEINTRESOURCEW(IDI_CHALKMERE));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(Module(), MAKEINTRESOURCEW(IDI_CHALKMERE)), icon) << "icons are shared";
    const auto& images = platform::LookupIcon(icon)->images;
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0]->width * 100 + images[0]->height, 3232);
    EXPECT_EQ(images[1]->width * 100 + images[1]->height, 1616);
}

}  // namespace
