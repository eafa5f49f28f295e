// Picture helpers for tests: rectangles in assertions, and areas of pixels as text.
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "platform/testing.h"
#include "platform/win32.h"

// Rectangles compare and print in test assertions.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace testsupport {

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

// Where tests leave pictures for people to look at: the build folder when run by ctest.
std::string OutputFolder();

}  // namespace testsupport
