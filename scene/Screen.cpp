#include "scene/Screen.h"

#include <algorithm>

namespace {

// Changes reach the window at most once per this many milliseconds plus one.
constexpr DWORD kRedrawThrottle = 42;
// Figures whose middles lie this close in height read as one row.
constexpr std::int32_t kRowSlack = 12;
// The outline: chalk two pixels wide just outside the figure, and a dark line round it so
// that it also stands out beside the yellow cards and the chalk.
constexpr std::int32_t kOutlineGap = 1;
constexpr std::int32_t kChalkWidth = 2;
constexpr COLORREF kChalk = RGB(0xEB, 0xEB, 0xE1);
constexpr COLORREF kEdge = RGB(0x10, 0x1C, 0x17);

// Whether `a` reads before `b`: an earlier row, or the same row further left.
bool ReadsBefore(POINT a, POINT b) {
    if (a.y < b.y - kRowSlack) return true;
    if (b.y < a.y - kRowSlack) return false;
    return a.x < b.x;
}

// A one-pixel frame just inside the rectangle.
void Frame(HDC dc, const RECT& r, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Sorts into reading order: rows by the top figure's middle, so that a row never creeps down
// the screen, each row from the left.
void SortInReadingOrder(std::vector<Figure*>& order) {
    std::stable_sort(order.begin(), order.end(), [](const Figure* a, const Figure* b) {
        return a->GetMiddle().y < b->GetMiddle().y;
    });
    for (std::size_t row = 0; row < order.size();) {
        std::size_t end = row + 1;
        while (end < order.size() &&
               order[end]->GetMiddle().y - order[row]->GetMiddle().y <= kRowSlack) {
            ++end;
        }
        std::stable_sort(order.begin() + static_cast<std::ptrdiff_t>(row),
                         order.begin() + static_cast<std::ptrdiff_t>(end),
                         [](const Figure* a, const Figure* b) { return a->GetX() < b->GetX(); });
        row = end;
    }
}

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
    if (figure != nullptr && figure == focus) {
        if (focusShown) MarkDirty(OutlineOf(figure));
        focusPlace = figure->GetMiddle();
        focus = nullptr;
    }
    if (figure != nullptr && figure->visible) MarkDirty(figure->GetBounds());
    figures.Remove(figure);
    if (deleteIt && figure != nullptr) delete figure;
}

void Screen::DeleteAllFigures() {
    focus = nullptr;
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
    if (focusShown) DrawFocus();

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
    if (active) PublishAccessibleItems();
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

std::vector<Figure*> Screen::FocusOrder() const {
    std::vector<Figure*> order;
    for (auto* node = figures.head; node != nullptr; node = node->next) {
        Figure* figure = node->value;
        if (figure->visible && figure->enabled && figure->listeners.count > 0) {
            order.push_back(figure);
        }
    }
    SortInReadingOrder(order);
    return order;
}

Figure* Screen::FocusedFigure() {
    const std::vector<Figure*> order = FocusOrder();
    if (focus != nullptr && std::find(order.begin(), order.end(), focus) != order.end()) {
        focusPlace = focus->GetMiddle();
        return focus;
    }
    for (Figure* figure : order) {
        if (focusPlace.x >= 0 && Hits(figure, focusPlace.x, focusPlace.y)) {
            focus = figure;
            return focus;
        }
    }
    return nullptr;
}

void Screen::MoveFocus(std::int32_t step) {
    const std::vector<Figure*> order = FocusOrder();
    if (order.empty()) return;
    Figure* from = FocusedFigure();
    const auto count = static_cast<std::int32_t>(order.size());
    std::int32_t next = step > 0 ? 0 : count - 1;
    if (from != nullptr) {
        const auto at =
            static_cast<std::int32_t>(std::find(order.begin(), order.end(), from) - order.begin());
        next = ((at + step) % count + count) % count;
    } else if (focusPlace.x >= 0) {
        // From where the focus stood, to the first figure after (or the last before) it.
        const auto after = std::find_if(order.begin(), order.end(), [this](const Figure* f) {
            return ReadsBefore(focusPlace, f->GetMiddle());
        });
        const auto index = static_cast<std::int32_t>(after - order.begin());
        next = step > 0 ? index % count : (index - 1 + count) % count;
    }
    if (focusShown && focus != nullptr) MarkDirty(OutlineOf(focus));
    focus = order[static_cast<std::size_t>(next)];
    focusPlace = focus->GetMiddle();
    ShowFocus(true);
}

void Screen::MoveFocusToward(std::int32_t dx, std::int32_t dy) {
    Figure* from = FocusedFigure();
    if (from == nullptr && focusPlace.x < 0) {
        MoveFocus(1);
        return;
    }
    const POINT origin = from != nullptr ? from->GetMiddle() : focusPlace;
    Figure* nearest = nullptr;
    long long best = 0;
    for (Figure* figure : FocusOrder()) {
        const POINT middle = figure->GetMiddle();
        const long long along = static_cast<long long>(middle.x - origin.x) * dx +
                                static_cast<long long>(middle.y - origin.y) * dy;
        const long long offset = dx != 0 ? middle.y - origin.y : middle.x - origin.x;
        const long long across = offset < 0 ? -offset : offset;
        // Only what lies that way, within a cone of twice as far ahead as aside; straight
        // ahead counts most, a step aside as three ahead.
        if (figure == from || along <= 0 || across > 2 * along) continue;
        const long long distance = along + 3 * across;
        if (nearest == nullptr || distance < best) {
            nearest = figure;
            best = distance;
        }
    }
    if (nearest == nullptr) {
        ShowFocus(true);
        return;
    }
    if (focusShown && focus != nullptr) MarkDirty(OutlineOf(focus));
    focus = nearest;
    focusPlace = focus->GetMiddle();
    ShowFocus(true);
}

void Screen::ShowFocus(bool shown) {
    if (shown && FocusedFigure() == nullptr && focusPlace.x < 0) {
        const std::vector<Figure*> order = FocusOrder();
        if (!order.empty()) focus = order.front();
    }
    focusShown = shown;
    if (focus != nullptr) MarkDirty(OutlineOf(focus));
}

RECT Screen::OutlineOf(Figure* figure) const {
    const std::int32_t reach = kOutlineGap + kChalkWidth + 1;
    const RECT bounds = figure->GetBounds();
    return {std::max<LONG>(bounds.left - reach, 0), std::max<LONG>(bounds.top - reach, 0),
            std::min<LONG>(bounds.right + reach, width),
            std::min<LONG>(bounds.bottom + reach, height)};
}

void Screen::DrawFocus() {
    Figure* figure = FocusedFigure();
    if (figure == nullptr) return;
    const RECT bounds = figure->GetBounds();
    // Chalk rings from just outside the gap, then the dark line round them.
    for (std::int32_t ring = kOutlineGap + 1; ring <= kOutlineGap + kChalkWidth + 1; ++ring) {
        const COLORREF colour = ring <= kOutlineGap + kChalkWidth ? kChalk : kEdge;
        Frame(bufferDC,
              {bounds.left - ring, bounds.top - ring, bounds.right + ring, bounds.bottom + ring},
              colour);
    }
}

void Screen::PublishAccessibleItems() {
    std::vector<ACCESSIBLE_ITEM> items;
    const auto add = [&items](UINT role, const std::basic_string<WCHAR>& name, bool checked,
                              bool focused, RECT bounds) {
        ACCESSIBLE_ITEM item{};
        item.role = role;
        lstrcpynW(item.name, name.c_str(), static_cast<int>(sizeof item.name / sizeof(WCHAR)));
        item.checked = checked ? TRUE : FALSE;
        item.focused = focused ? TRUE : FALSE;
        item.bounds = bounds;
        items.push_back(item);
    };
    if (!status.empty()) add(ACCESSIBLE_LIVE, status, false, false, {0, 0, width, height});
    std::vector<Figure*> named;
    for (auto* node = figures.head; node != nullptr; node = node->next) {
        if (node->value->visible && !node->value->accessibleName.empty()) {
            named.push_back(node->value);
        }
    }
    SortInReadingOrder(named);
    Figure* focused = focusShown ? FocusedFigure() : nullptr;
    for (Figure* figure : named) {
        add(figure->accessibleRole != 0 ? figure->accessibleRole : ACCESSIBLE_BUTTON,
            figure->accessibleName, figure->accessibleChecked, figure == focused,
            figure->GetBounds());
    }
    SetAccessibleItems(window, items.data(), static_cast<UINT>(items.size()));
}
