#include "scene/Text.h"

Text::Text(Screen* owner, HWND window, LPCWSTR string, COLORREF colour) : Figure(owner, window) {
    Render(string, colour, BoldFont(20));
}

Text::Text(Screen* owner, HWND window, LPCWSTR string, COLORREF colour, LOGFONTW font)
    : Figure(owner, window) {
    Render(string, colour, font);
}

Text::Text(Screen* owner, HINSTANCE instance, HWND window, std::int32_t stringId, COLORREF colour,
           LOGFONTW font)
    : Figure(owner, window) {
    WCHAR buffer[80];
    LoadStringW(instance, static_cast<UINT>(stringId & 0xFFFF), buffer, 80);
    Render(buffer, colour, font);
}

Text::~Text() {
    DeleteDC(surfaceDC);
    DeleteObject(surfaceBitmap);
    delete[] text;
}

LOGFONTW Text::BoldFont(LONG height) {
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfWeight = FW_BOLD;
    font.lfPitchAndFamily = FF_SWISS;
    return font;
}

LPCWSTR Text::GetTypeName() const { return TEXT("Text"); }

HDC Text::GetSurface() { return surfaceDC; }

void Text::Render(LPCWSTR string, COLORREF colour, LOGFONTW font) {
    text = nullptr;
    surfaceDC = nullptr;
    surfaceBitmap = nullptr;
    SetX(0);
    SetY(0);

    const int length = lstrlenW(string);
    text = new WCHAR[length + 1];
    lstrcpynW(text, string, length + 1);

    HDC windowDC = GetDC(window);
    surfaceDC = CreateCompatibleDC(windowDC);
    HFONT fontObject = CreateFontIndirectW(&font);
    HGDIOBJ previousFont = SelectObject(surfaceDC, fontObject);

    SIZE size = {};
    GetTextExtentExPointW(surfaceDC, text, length, 0, nullptr, nullptr, &size);
    SetWidth(size.cx);
    SetHeight(size.cy);

    surfaceBitmap = CreateCompatibleBitmap(windowDC, GetWidth(), GetHeight());
    SelectObject(surfaceDC, surfaceBitmap);
    ReleaseDC(window, windowDC);

    RECT rectangle = {0, 0, GetWidth(), GetHeight()};
    const COLORREF previousBackground = SetBkColor(surfaceDC, TransparentKey);
    const COLORREF previousText = SetTextColor(surfaceDC, colour);
    // The rectangle is exactly the measured line, so the opaque background of the line
    // covers the whole surface with the key colour wherever there is no glyph.
    DrawTextW(surfaceDC, text, length, &rectangle, DT_CENTER | DT_VCENTER | DT_SINGLELINE);

    SelectObject(surfaceDC, previousFont);
    DeleteObject(fontObject);
    SetBkColor(surfaceDC, previousBackground);
    SetTextColor(surfaceDC, previousText);
    SetVisible(true);
}
