#include "tests/support/Pixels.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace testsupport {
namespace {

bool SavePng(const std::string& path, int width, int height,
             const std::function<COLORREF(int, int)>& read) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = read(x, y);
            row[x * 3] = GetRValue(c);
            row[x * 3 + 1] = GetGValue(c);
            row[x * 3 + 2] = GetBValue(c);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

// Reads an 8-bit RGB picture; empty when it cannot be read.
std::vector<COLORREF> ReadPng(const std::string& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr) == 0) return {};
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    std::vector<COLORREF> pixels(bytes.size() / 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = RGB(bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]);
    }
    return pixels;
}

// Where tests leave pictures for people to look at: the build folder when run by ctest, the
// temporary folder otherwise.
std::string OutputFolder() {
    const char* folder = std::getenv("CHALKMERE_BUILD_DIR");
    if (folder == nullptr) folder = std::getenv("TMPDIR");
    return folder != nullptr ? folder : "/tmp";
}

}  // namespace

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
    const std::string golden = std::string(CHALKMERE_SOURCE_DIR) + "/tests/golden/" + name + ".png";
    const auto actual = [&](int x, int y) { return platform::testing::PixelAt(dc, x, y); };
    if (const char* update = std::getenv("CHALKMERE_UPDATE_GOLDEN"); update && *update == '1') {
        return SavePng(golden, width, height, actual)
                   ? ::testing::AssertionSuccess() << "wrote " << golden
                   : ::testing::AssertionFailure() << "cannot write " << golden;
    }
    int goldenWidth = 0;
    int goldenHeight = 0;
    const std::vector<COLORREF> expected = ReadPng(golden, goldenWidth, goldenHeight);
    if (expected.empty()) return ::testing::AssertionFailure() << "cannot read " << golden;
    if (goldenWidth != width || goldenHeight != height) {
        return ::testing::AssertionFailure() << name << " is " << goldenWidth << " × "
                                             << goldenHeight << ", not " << width << " × "
                                             << height;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF want = expected[static_cast<std::size_t>(y) * width + x];
            if (actual(x, y) == want) continue;
            const std::string stem = OutputFolder() + "/" + name;
            const auto wanted = [&](int px, int py) {
                return expected[static_cast<std::size_t>(py) * width + px];
            };
            SavePng(stem + "-actual.png", width, height, actual);
            SavePng(stem + "-expected.png", width, height, wanted);
            SavePng(stem + "-diff.png", width, height, [&](int px, int py) {
                return actual(px, py) == wanted(px, py) ? RGB(0, 0, 0) : RGB(255, 0, 0);
            });
            char colours[64];
            std::snprintf(colours, sizeof colours, "%06X, not %06X",
                          static_cast<unsigned>(actual(x, y)), static_cast<unsigned>(want));
            return ::testing::AssertionFailure()
                   << name << " differs first at (" << x << ", " << y << "): 0x00BBGGRR "
                   << colours << "; pictures in " << stem << "-*.png";
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult MatchesGolden(const platform::testing::HeadlessWindow& window,
                                         const std::string& name) {
    RECT client{};
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    auto result = MatchesGolden(dc, client.right, client.bottom, name);
    ReleaseDC(window, dc);
    return result;
}

}  // namespace testsupport
