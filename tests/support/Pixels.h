// Picture helpers for tests: rectangles in assertions, and areas of pixels as text.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <string>

#include "platform/testing/testing.h"
#include "platform/win32.h"

// Rectangles compare and print in test assertions.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace testsupport {

// A memory drawing context with a bitmap of its own, `width` × `height`, filled with `colour`.
class Canvas {
public:
    Canvas(HWND window, int w, int h, COLORREF colour);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF colour);
    std::string Art(const std::map<COLORREF, char>& legend) const;

    int width;
    int height;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

// A test on a headless window that fails when drawing objects outlive it.
class LeakCheckedTest : public ::testing::Test {
protected:
    void SetUp() override { baseline_ = platform::testing::LiveGdiObjectCount(); }
    void TearDown() override {
        EXPECT_EQ(platform::testing::LiveGdiObjectCount(), baseline_) << "leaked drawing objects";
    }

    platform::testing::HeadlessWindow window_;

private:
    int baseline_ = 0;
};

// The pixels of a window area as rows of characters, one per pixel, by `legend`; a colour
// missing from the legend shows as '?'. Compared with EXPECT_EQ it reads as a picture.
std::string PixelArt(const platform::testing::HeadlessWindow& window, RECT area,
                     const std::map<COLORREF, char>& legend);
std::string PixelArt(HDC dc, RECT area, const std::map<COLORREF, char>& legend);

// Writes the pixels of a window, or of the surface of a drawing context, to a PNG file,
// enlarged `scale` times. Returns false when the file cannot be written.
bool WritePng(const platform::testing::HeadlessWindow& window, const std::string& path,
              int scale = 1);
bool WritePng(HDC dc, int width, int height, const std::string& path, int scale = 1);

// Where tests leave pictures for people to look at: the build folder when run by ctest, the
// temporary folder otherwise.
std::string OutputFolder();

// Whether the `width` × `height` pixels of `dc` from (0, 0) are those of the committed picture
// tests/golden/<name>.png. A difference names the first differing pixel and leaves
// <name>-actual.png, -expected.png and -diff.png in OutputFolder(). With
// CHALKMERE_UPDATE_GOLDEN=1 the picture is written instead, to be looked at and committed.
::testing::AssertionResult MatchesGolden(HDC dc, int width, int height, const std::string& name);
::testing::AssertionResult MatchesGolden(const platform::testing::HeadlessWindow& window,
                                         const std::string& name);

}  // namespace testsupport
