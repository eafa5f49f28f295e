// Fonts behind HFONT handles. Internal to the platform.
#pragma once

#include <memory>

#include "platform/core/gdi_objects.h"
#include "platform/core/text_backend.h"

namespace platform {

// Heights beyond this many pixels are refused: no text of the program comes near, and a
// glyph that size would cost megabytes.
constexpr int kMaxFontHeight = 1024;

struct Font : GdiObject {
    Font(const LOGFONTW& description, std::unique_ptr<TextFont> opened)
        : GdiObject(GdiKind::Font), logFont(description), face(std::move(opened)) {}

    int CellHeight() const { return face->ascent + face->descent; }

    LOGFONTW logFont;
    std::unique_ptr<TextFont> face;
};

}  // namespace platform
