// One line of text in one font and colour, rendered once at construction onto a surface of
// exactly its measured size, with the key colour wherever there is no glyph.
#pragma once

#include <cstdint>

#include "scene/Figure.h"

class Text : public Figure {
public:
    // With the built-in font: 20 pixels, bold, of the Swiss family.
    Text(Screen* owner, HWND window, LPCWSTR string, COLORREF colour);
    Text(Screen* owner, HWND window, LPCWSTR string, COLORREF colour, LOGFONTW font);
    // String-table entry `stringId` of `instance`, at most 79 characters.
    Text(Screen* owner, HINSTANCE instance, HWND window, std::int32_t stringId, COLORREF colour,
         LOGFONTW font);
    ~Text() override;
    LPCWSTR GetTypeName() const override;
    HDC GetSurface() override;

    // A bold Swiss font of the given cell height, as every text of the program uses.
    static LOGFONTW BoldFont(LONG height);

    HDC surfaceDC = nullptr;
    HBITMAP surfaceBitmap = nullptr;
    WCHAR* text = nullptr;

private:
    void Render(LPCWSTR string, COLORREF colour, LOGFONTW font);
};
