#include "scene/Hotspot.h"

#include "resources/ResourceIds.h"
#include "scene/WaveResource.h"

const void* hotspotTapSound = nullptr;

Hotspot::Hotspot(Screen* owner, HWND window, std::int32_t w, std::int32_t h)
    : Figure(owner, window) {
    SetWidth(w);
    SetHeight(h);
    SetEnabled(true);
    LoadHotspotTapSound();
}

Hotspot::~Hotspot() = default;

LPCWSTR Hotspot::GetTypeName() const { return TEXT("Hotspot"); }

// Never drawn: being invisible to the eye is the surface's job, not the visible flag's.
HDC Hotspot::GetSurface() { return nullptr; }

void Hotspot::OnPointerDown(std::int32_t px, std::int32_t py) {
    PlayHotspotTapSound();
    Figure::OnPointerDown(px, py);
}

void Hotspot::LoadHotspotTapSound() {
    if (hotspotTapSound == nullptr) hotspotTapSound = LoadWaveResource(IDW_TAP);
}

void Hotspot::PlayHotspotTapSound() { PlayWave(hotspotTapSound, true); }
