// The abstract drawable: position, size, z-order, visibility, enabled state and the
// listeners that hear of stylus presses on it. A figure draws nothing itself; it offers a
// surface that its screen composites, and reports every visible change to that screen.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32.h"
#include "scene/ObjectList.h"

class Figure;
class Screen;

class FigureListener {
public:
    virtual void OnFigureDown(Figure* figure, std::int32_t x, std::int32_t y) = 0;
    virtual void OnFigureUp(Figure* figure, std::int32_t x, std::int32_t y) = 0;

protected:
    ~FigureListener() = default;
};

// Surfaces that the program draws itself are filled with this colour where they are empty;
// compositing leaves it out.
inline constexpr COLORREF TransparentKey = RGB(0xF6, 0x8C, 0xC5);

class Figure {
public:
    Figure(Screen* owner, HWND window);

    virtual void Tick(DWORD time);
    virtual void SetWidth(std::int32_t value);
    virtual void SetHeight(std::int32_t value);
    virtual ~Figure();
    virtual LPCWSTR GetTypeName() const;
    virtual std::int32_t GetZOrder() const;
    virtual HDC GetSurface() = 0;
    virtual void SetZOrder(std::int32_t value);
    virtual void OnPointerDown(std::int32_t x, std::int32_t y);
    virtual void OnPointerUp(std::int32_t x, std::int32_t y);
    virtual std::int32_t GetX() const;
    virtual std::int32_t GetY() const;
    virtual std::int32_t GetWidth() const;
    virtual std::int32_t GetHeight() const;
    virtual void SetX(std::int32_t value);
    virtual void SetY(std::int32_t value);
    virtual void ClearSurface(HDC dc);

    Figure(const Figure&) = delete;
    Figure& operator=(const Figure&) = delete;

    void AddListener(FigureListener* listener);
    bool RemoveListener(FigureListener* listener);
    void SetVisible(bool value);
    void SetEnabled(bool value);
    RECT GetBounds() const;
    // Where a tap on the figure lands: its middle.
    POINT GetMiddle() const;
    void Invalidate();

    ObjectList<FigureListener*> listeners;
    bool visible = false;
    bool enabled = false;
    std::int32_t zOrder = 10;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    Screen* owner;
    std::int32_t tag = 0;
    HWND window;
    // What screen readers and switches are told of the figure; a figure without a name is
    // not told of. The role is one of the ACCESSIBLE_ roles; 0 is a button.
    std::basic_string<WCHAR> accessibleName;
    UINT accessibleRole = 0;
    bool accessibleChecked = false;

protected:
    // A memory drawing context compatible with the window's display context, holding a new
    // bitmap of `w` × `h` that has the display's colours (not the memory context's).
    HDC CreateSurface(std::int32_t w, std::int32_t h, HBITMAP& bitmap);

private:
    // Reports the old area, stores the value, reports the new area.
    void SetGeometry(std::int32_t& field, std::int32_t value);
};
