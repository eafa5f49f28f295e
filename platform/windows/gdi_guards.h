// Guards for the GDI objects the adapter makes: each is deleted, and each selection undone,
// when its guard goes, whichever way the function that made it ends.
#pragma once

#include <memory>
#include <type_traits>

#include "platform/windows/adapter.h"

namespace win32adapter {

struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
// A memory drawing context of the adapter's own.
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
// A bitmap (or other GDI object) of the adapter's own.
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, ObjectDeleter>;

// An object selected into a context for the guard's life; the one it replaced comes back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_ != nullptr) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace win32adapter
