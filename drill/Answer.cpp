#include "drill/Answer.h"

#include "resources/ResourceIds.h"
#include "scene/Text.h"
#include "scene/WaveResource.h"

const void* answerTapSound = nullptr;

Answer::Answer(Screen* owner, HWND window, std::int32_t value)
    : Figure(owner, window), number(value) {
    SetX(0);
    SetY(0);
    SetWidth(kWidth);
    SetHeight(kHeight);
    LoadAnswerTapSound();

    WCHAR digits[12];
    wsprintfW(digits, TEXT("%d"), number);
    Text label(owner, window, digits, RGB(0, 0, 0));
    accessibleName = digits;

    surfaceDC = CreateSurface(kWidth, kHeight, surfaceBitmap);
    ClearSurface(surfaceDC);

    // Yellow inside the context's default pen: a 1-pixel black outline.
    HBRUSH card = CreateSolidBrush(RGB(0xFD, 0xFB, 0x43));
    HGDIOBJ previousBrush = SelectObject(surfaceDC, card);
    Rectangle(surfaceDC, 0, 0, kWidth, kHeight);
    SelectObject(surfaceDC, previousBrush);
    DeleteObject(card);

    TransparentImage(surfaceDC, (kWidth - label.GetWidth()) / 2, (kHeight - label.GetHeight()) / 2,
                     label.GetWidth(), label.GetHeight(), label.GetSurface(), 0, 0,
                     label.GetWidth(), label.GetHeight(), TransparentKey);
    SetVisible(true);
}

Answer::~Answer() {
    DeleteDC(surfaceDC);
    DeleteObject(surfaceBitmap);
}

LPCWSTR Answer::GetTypeName() const { return TEXT("Answer"); }

HDC Answer::GetSurface() { return surfaceDC; }

void Answer::OnPointerDown(std::int32_t px, std::int32_t py) {
    PlayAnswerTapSound();
    Figure::OnPointerDown(px, py);
}

void Answer::LoadAnswerTapSound() {
    // A failed load is tried again by the next card.
    if (answerTapSound == nullptr) answerTapSound = LoadWaveResource(IDW_TAP);
}

void Answer::PlayAnswerTapSound() { PlayWave(answerTapSound, false); }
