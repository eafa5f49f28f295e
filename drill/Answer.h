// One answer card: a yellow card with a black outline and its number centred on it; it
// clicks, to the end of the sound, before anyone hears of the tap.
#pragma once

#include <cstdint>

#include "scene/Figure.h"

// The click of every answer card: resource 20000, loaded by the first card, never released.
extern const void* answerTapSound;

class Answer : public Figure {
public:
    static constexpr std::int32_t kWidth = 46;
    static constexpr std::int32_t kHeight = 50;

    Answer(Screen* owner, HWND window, std::int32_t number);
    ~Answer() override;
    LPCWSTR GetTypeName() const override;
    HDC GetSurface() override;
    void OnPointerDown(std::int32_t x, std::int32_t y) override;

    static void LoadAnswerTapSound();
    static void PlayAnswerTapSound();

    HDC surfaceDC = nullptr;
    HBITMAP surfaceBitmap = nullptr;
    std::int32_t number;
};
