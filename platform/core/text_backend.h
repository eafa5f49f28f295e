// The text contract: a backend opens the system's face (bold sans-serif, the only one the
// program draws with) at the height a LOGFONTW asks for and renders its glyphs bi-level; the
// core measures, places, clips and draws them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win32.h"

namespace platform {

// One character as drawn: 1 bit per pixel, most significant bit first, rows of `stride` bytes.
struct Glyph {
    bool Ink(int column, int row) const {
        return (bits[static_cast<std::size_t>(row) * stride + (column >> 3)] &
                (0x80u >> (column & 7))) != 0;
    }

    int advance = 0;  // from this pen position to the next
    int left = 0;     // from the pen position to the bitmap's left edge
    int top = 0;      // from the baseline up to the bitmap's top edge
    int width = 0;
    int rows = 0;
    int stride = 0;
    std::vector<std::uint8_t> bits;
};

// A face at one size, with the cell metrics Win32 gives it: a positive lfHeight is the cell
// height (ascent + descent), a negative one the em height.
class TextFont {
public:
    virtual ~TextFont() = default;
    // The glyph of a character, or the face's missing-glyph box for one it lacks. The
    // reference stays good until the next call.
    virtual const Glyph& GlyphFor(char32_t codePoint) = 0;

    int ascent = 0;   // pixels from the top of the cell to the baseline
    int descent = 0;  // pixels from the baseline to the bottom of the cell
};

// The one face the program draws with: bold, of the Swiss family, named by no face, upright
// and plain. Other requests are refused plainly rather than answered with a guess.
bool IsSystemFace(const LOGFONTW& font);

class TextBackend {
public:
    virtual ~TextBackend() = default;
    // The system's face at the description's height (the core has checked that it asks for
    // no other face); null when none can be opened.
    virtual std::unique_ptr<TextFont> OpenFont(const LOGFONTW& font) = 0;
};

// The backend in use; null (the default) makes every font request fail.
TextBackend* CurrentTextBackend();
void SetTextBackend(TextBackend* backend);

}  // namespace platform
