// Fonts behind HFONT handles. Internal to platform/.
#pragma once

#include "platform/gdi_objects.h"
#include "platform/win32.h"

namespace platform {

// A FreeType face opened once per file, with the glyphs rendered from it. Shared by every
// font on that face and kept for the life of the process.
struct FontFace;

// Heights beyond this many pixels are refused: no text of the program comes near, and a
// glyph that size would cost megabytes.
constexpr int kMaxFontHeight = 1024;

struct Font : GdiObject {
    Font(const LOGFONTW& description, FontFace* sharedFace, int pixelsPerEm, int cellAscent,
         int cellDescent)
        : GdiObject(GdiKind::Font),
          logFont(description),
          face(sharedFace),
          ppem(pixelsPerEm),
          ascent(cellAscent),
          descent(cellDescent) {}

    int CellHeight() const { return ascent + descent; }

    LOGFONTW logFont;
    FontFace* face;  // not owned
    int ppem;        // the size glyphs are rendered at
    int ascent;      // pixels from the top of the cell to the baseline
    int descent;     // pixels from the baseline to the bottom of the cell
};

}  // namespace platform
