#include "tests/support/Pixels.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace testsupport {
namespace {

template <typename ReadPixel>
std::string Art(RECT area, const std::map<COLORREF, char>& legend, ReadPixel read) {
    std::string art;
    for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) {
            auto found = legend.find(read(x, y));
            art += found == legend.end() ? '?' : found->second;
        }
        art += '\n';
    }
    return art;
}

}  // namespace

std::string PixelArt(const platform::testing::HeadlessWindow& window, RECT area,
                     const std::map<COLORREF, char>& legend) {
    return Art(area, legend, [&](LONG x, LONG y) { return window.Pixel(x, y); });
}

std::string PixelArt(HDC dc, RECT area, const std::map<COLORREF, char>& legend) {
    return Art(area, legend, [&](LONG x, LONG y) { return platform::testing::PixelAt(dc, x, y); });
}

namespace {

bool SavePng(const std::string& path, int width, int height, int scale,
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
    png_set_IHDR(png, info, width * scale, height * scale, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(width) * scale * 3);
    for (int y = 0; y < height * scale; ++y) {
        for (int x = 0; x < width * scale; ++x) {
            const COLORREF c = read(x / scale, y / scale);
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

}  // namespace

bool WritePng(const platform::testing::HeadlessWindow& window, const std::string& path, int scale) {
    RECT client{};
    GetClientRect(window, &client);
    return SavePng(path, client.right, client.bottom, scale,
                   [&](int x, int y) { return window.Pixel(x, y); });
}

bool WritePng(HDC dc, int width, int height, const std::string& path, int scale) {
    return SavePng(path, width, height, scale,
                   [&](int x, int y) { return platform::testing::PixelAt(dc, x, y); });
}

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
    return PixelArt(dc, {0, 0, width, height}, legend);
}

std::string OutputFolder() {
    // Run by hand, outside ctest, the pictures go to the temporary folder rather than
    // wherever the test happened to be started.
    const char* folder = std::getenv("CHALKMERE_BUILD_DIR");
    if (folder == nullptr) folder = std::getenv("TMPDIR");
    return folder != nullptr ? folder : "/tmp";
}

}  // namespace testsupport
