#include "tests/support/Pixels.h"

// stb's PNG reader and writer, header-only, so every build has them.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace testsupport {

Canvas::Canvas(HWND window, int w, int h, COLORREF colour) : width(w), height(h) {
    HDC windowDC = GetDC(window);
    dc = CreateCompatibleDC(windowDC);
    bitmap = CreateCompatibleBitmap(windowDC, w, h);
    ReleaseDC(window, windowDC);
    previous = SelectObject(dc, bitmap);
    Fill(colour);
}

Canvas::~Canvas() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

void Canvas::Fill(COLORREF colour) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) platform::testing::SetPixelAt(dc, x, y, colour);
    }
}

std::string Canvas::Art(const std::map<COLORREF, char>& legend) const {
    std::string art;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto found = legend.find(platform::testing::PixelAt(dc, x, y));
            art += found == legend.end() ? '?' : found->second;
        }
        art += '\n';
    }
    return art;
}

::testing::AssertionResult MatchesGolden(HDC dc, int width, int height, const std::string& name) {
    const std::string golden = std::string(CHALKMERE_GOLDEN_DIR) + "/" + name + ".png";
    std::vector<unsigned char> actual;  // red, green and blue of each pixel, row by row
    for (int i = 0; i < width * height; ++i) {
        const COLORREF c = platform::testing::PixelAt(dc, i % width, i / width);
        actual.insert(actual.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
    }
    const auto save = [&](const std::string& path, const std::vector<unsigned char>& pixels) {
        return stbi_write_png(path.c_str(), width, height, 3, pixels.data(), width * 3) != 0;
    };
    if (const char* update = std::getenv("CHALKMERE_UPDATE_GOLDEN"); update && *update == '1') {
        return save(golden, actual) ? ::testing::AssertionSuccess() << "wrote " << golden
                                    : ::testing::AssertionFailure() << "cannot write " << golden;
    }
    int goldenWidth = 0, goldenHeight = 0, channels = 0;
    unsigned char* read = stbi_load(golden.c_str(), &goldenWidth, &goldenHeight, &channels, 3);
    if (read == nullptr) return ::testing::AssertionFailure() << "cannot read " << golden;
    const std::vector<unsigned char> expected(read, read + goldenWidth * goldenHeight * 3);
    stbi_image_free(read);
    if (goldenWidth != width || goldenHeight != height) {
        return ::testing::AssertionFailure() << name << " is " << goldenWidth << " × "
                                             << goldenHeight << ", not " << width << " × "
                                             << height;
    }
    const auto first = std::mismatch(actual.begin(), actual.end(), expected.begin()).first;
    if (first == actual.end()) return ::testing::AssertionSuccess();
    // Pictures for people to look at: in the build folder under ctest, else the temporary one.
    const char* folder = std::getenv("CHALKMERE_BUILD_DIR");
    if (folder == nullptr) folder = std::getenv("TMPDIR");
    const std::string stem =
        CHALKMERE_HOST_PATHS + std::string(folder != nullptr ? folder : "/tmp") + "/" + name;
    std::vector<unsigned char> diff(actual.size());
    for (std::size_t i = 0; i < actual.size(); i += 3) {
        diff[i] = std::equal(&actual[i], &actual[i] + 3, &expected[i]) ? 0 : 255;
    }
    save(stem + "-actual.png", actual);
    save(stem + "-diff.png", diff);
    const auto at = static_cast<std::size_t>(first - actual.begin()) / 3 * 3;
    char colours[32];
    std::snprintf(colours, sizeof colours, "#%02X%02X%02X, not #%02X%02X%02X", actual[at],
                  actual[at + 1], actual[at + 2], expected[at], expected[at + 1], expected[at + 2]);
    return ::testing::AssertionFailure()
           << name << " differs first at (" << at / 3 % width << ", " << at / 3 / width
           << "): " << colours << "; pictures in " << stem << "-*.png";
}

::testing::AssertionResult MatchesGolden(HWND window, const std::string& name) {
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    auto result = MatchesGolden(dc, client.right, client.bottom, name);
    ReleaseDC(window, dc);
    return result;
}

}  // namespace testsupport
