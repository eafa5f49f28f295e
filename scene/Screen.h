// The base of the full-window screens: owns its figures in z-order, composites them into a
// back buffer, collects the area that changed (DirtyRect) and copies it to the window at
// most once every 43 ms, and routes stylus events to the figures under the point.
#pragma once

#include <cstdint>

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

private:
    static bool Hits(Figure* figure, std::int32_t x, std::int32_t y);
};
