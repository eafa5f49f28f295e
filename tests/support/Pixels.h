// Picture helpers for tests: rectangles in assertions, canvases to draw on, and comparisons
// with committed golden pictures.
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
    // The pixels as rows of characters, one per pixel, by `legend` ('?' for other colours):
    // compared with EXPECT_EQ, it reads as a picture.
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

// Whether the `width` × `height` pixels of `dc` from (0, 0), or a window's client area, are
// those of the committed picture tests/golden/<name>.png. A difference names the first
// differing pixel and leaves <name>-actual.png and -diff.png in the build folder (the temporary
// folder outside ctest). With CHALKMERE_UPDATE_GOLDEN=1 the picture is written instead, to be
// looked at and committed.
::testing::AssertionResult MatchesGolden(HDC dc, int width, int height, const std::string& name);
::testing::AssertionResult MatchesGolden(HWND window, const std::string& name);

}  // namespace testsupport
