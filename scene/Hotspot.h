// An invisible rectangular tap target that clicks when touched.
#pragma once

#include <cstdint>

#include "scene/Figure.h"

// The click of every hotspot: resource 20000, loaded by the first hotspot, never released.
extern const void* hotspotTapSound;

class Hotspot : public Figure {
public:
    Hotspot(Screen* owner, HWND window, std::int32_t width, std::int32_t height);
    ~Hotspot() override;
    LPCWSTR GetTypeName() const override;
    HDC GetSurface() override;
    void OnPointerDown(std::int32_t x, std::int32_t y) override;

    static void LoadHotspotTapSound();
    static void PlayHotspotTapSound();
};
