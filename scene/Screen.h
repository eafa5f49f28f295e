// The base of the full-window screens: owns its figures in z-order, composites them into a
// back buffer, collects the area that changed (DirtyRect) and copies it to the window at
// most once every 43 ms, and routes stylus events to the figures under the point. It keeps
// the keyboard's focus among the figures that can be tapped, and tells screen readers what
// it shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "scene/Figure.h"
#include "scene/ObjectList.h"

class Screen {
public:
    Screen(HWND window, HINSTANCE instance);

    virtual void Tick(DWORD time);
    virtual ~Screen();
    virtual void Redraw(bool full);
    virtual void Paint(HDC dc, bool full);

    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    void AddFigure(Figure* figure);
    void RemoveFigure(Figure* figure, bool deleteIt);
    void ResortFigure(Figure* figure);
    void DeleteAllFigures();
    void MarkDirty(const RECT& rectangle);
    void PointerDown(std::int32_t x, std::int32_t y);
    void PointerUp(std::int32_t x, std::int32_t y);

    std::int32_t width = 0;
    std::int32_t height = 0;
    HBITMAP backBuffer = nullptr;
    bool painting = false;
    bool active = false;
    Figure* background = nullptr;
    ObjectList<Figure*> figures;
    // Empty when left is -1.
    RECT dirtyRect = {-1, -1, -1, -1};
    DWORD lastRedraw = 0;
    HWND window;
    HDC bufferDC = nullptr;
    HINSTANCE instance;
    ObjectList<Figure*> running;

    // The figures a tap can reach, in reading order: rows from the top, each from the left.
    std::vector<Figure*> FocusOrder() const;
    // Tab: the next (+1) or the previous (-1) figure in reading order, round the end.
    void MoveFocus(std::int32_t step);
    // An arrow: the nearest figure whose middle lies that way.
    void MoveFocusToward(std::int32_t dx, std::int32_t dy);
    // The focused figure while it can be tapped, else one standing where it stood (the card
    // of the next problem in the same place); null when there is none.
    Figure* FocusedFigure();
    void ShowFocus(bool shown);

    // The focus is drawn only once a key has been used, and hidden by the next tap.
    Figure* focus = nullptr;
    bool focusShown = false;
    // The middle of the focused figure when it last could be tapped.
    POINT focusPlace = {-1, -1};
    // Announced to screen readers whenever it changes.
    std::basic_string<WCHAR> status;

private:
    static bool Hits(Figure* figure, std::int32_t x, std::int32_t y);
    // The focus outline round `figure`, within the screen.
    RECT OutlineOf(Figure* figure) const;
    void DrawFocus();
    void PublishAccessibleItems();
};
