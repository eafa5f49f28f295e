#include "scene/Screen.h"

#include <algorithm>

namespace {

// Changes reach the window at most once per this many milliseconds plus one.
constexpr DWORD kRedrawThrottle = 42;

}  // namespace

Screen::Screen(HWND screenWindow, HINSTANCE screenInstance)
    : window(screenWindow), instance(screenInstance) {
    RECT client{};
    GetClientRect(window, &client);
    width = client.right - client.left;
    height = client.bottom - client.top;

    HDC windowDC = GetDC(window);
    bufferDC = CreateCompatibleDC(windowDC);
    // Compatible with the window's context, not the memory one, so it has the display's
    // colours.
    backBuffer = CreateCompatibleBitmap(windowDC, width, height);
    SelectObject(bufferDC, backBuffer);
    ReleaseDC(window, windowDC);
}

Screen::~Screen() {
    DeleteDC(bufferDC);
    DeleteObject(backBuffer);
    figures.Clear();
    running.Clear();
}

void Screen::AddFigure(Figure* figure) {
    const std::int32_t z = figure->GetZOrder();
    std::int32_t position = 0;
    for (auto* node = figures.head; node != nullptr; node = node->next, ++position) {
        if (node->value->GetZOrder() >= z) break;
    }
    figures.InsertAt(figure, position);
}

void Screen::ResortFigure(Figure* figure) {
    if (figures.Remove(figure)) AddFigure(figure);
}

void Screen::RemoveFigure(Figure* figure, bool deleteIt) {
    if (figure != nullptr && figure->visible) MarkDirty(figure->GetBounds());
    figures.Remove(figure);
    if (deleteIt && figure != nullptr) delete figure;
}

void Screen::DeleteAllFigures() {
    for (auto* node = figures.head; node != nullptr; node = node->next) {
        delete node->value;
    }
    figures.Clear();
}

void Screen::MarkDirty(const RECT& r) {
    // A rectangle reaching past any edge is dropped whole, not clipped.
    if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height) return;
    if (dirtyRect.left == -1) {
        dirtyRect = r;
        return;
    }
    dirtyRect.left = std::min(dirtyRect.left, r.left);
    dirtyRect.top = std::min(dirtyRect.top, r.top);
    dirtyRect.right = std::max(dirtyRect.right, r.right);
    dirtyRect.bottom = std::max(dirtyRect.bottom, r.bottom);
}

void Screen::Paint(HDC dc, bool full) {
    if (painting) return;
    painting = true;

    for (auto* node = figures.head; node != nullptr; node = node->next) {
        Figure* figure = node->value;
        if (!figure->visible) continue;
        HDC surface = figure->GetSurface();
        if (surface == nullptr) continue;
        const std::int32_t x = figure->GetX();
        const std::int32_t y = figure->GetY();
        const std::int32_t w = figure->GetWidth();
        const std::int32_t h = figure->GetHeight();
        if (figure == background) {
            BitBlt(bufferDC, x, y, w, h, surface, 0, 0, SRCCOPY);
        } else {
            TransparentImage(bufferDC, x, y, w, h, surface, 0, 0, w, h, TransparentKey);
        }
    }

    if (full) {
        BitBlt(dc, 0, 0, width, height, bufferDC, 0, 0, SRCCOPY);
    } else {
        // One column and row past the rectangle, as the window copy has always done; the
        // copy is clipped to both surfaces at the right and bottom edges.
        BitBlt(dc, dirtyRect.left, dirtyRect.top, dirtyRect.right - dirtyRect.left + 1,
               dirtyRect.bottom - dirtyRect.top + 1, bufferDC, dirtyRect.left, dirtyRect.top,
               SRCCOPY);
    }

    painting = false;
    dirtyRect = {-1, -1, -1, -1};
}

void Screen::Redraw(bool full) {
    if (!active) return;
    HDC dc = GetDC(window);
    Paint(dc, full);
    ReleaseDC(window, dc);
}

void Screen::Tick(DWORD time) {
    running.ForEachInSnapshot([time](Figure* animation) { animation->Tick(time); });
    if (time - lastRedraw <= kRedrawThrottle) return;
    lastRedraw = time;
    if (dirtyRect.left != -1) Redraw(false);
}

bool Screen::Hits(Figure* figure, std::int32_t px, std::int32_t py) {
    // Both edges count: the hit area is one pixel wider and taller than the figure.
    const std::int32_t left = figure->GetX();
    const std::int32_t top = figure->GetY();
    return figure->visible && left <= px && px <= left + figure->GetWidth() && top <= py &&
           py <= top + figure->GetHeight();
}

void Screen::PointerDown(std::int32_t px, std::int32_t py) {
    for (auto* node = figures.tail; node != nullptr; node = node->prev) {
        Figure* figure = node->value;
        if (!Hits(figure, px, py)) continue;
        // A visible disabled figure still ends the walk: it shields what lies beneath.
        // The handler may change this screen's list, so nothing of it is touched after.
        if (figure->enabled) figure->OnPointerDown(px, py);
        return;
    }
}

void Screen::PointerUp(std::int32_t px, std::int32_t py) {
    for (auto* node = figures.tail; node != nullptr; node = node->prev) {
        Figure* figure = node->value;
        // Every enabled button hears every release, so a pressed one is let go wherever
        // the stylus is lifted.
        if (figure->enabled &&
            (Hits(figure, px, py) || lstrcmpW(figure->GetTypeName(), TEXT("Button")) == 0)) {
            figure->OnPointerUp(px, py);
        }
    }
}
