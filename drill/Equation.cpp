#include "drill/Equation.h"

#include "resources/ResourceIds.h"
#include "scene/Screen.h"
#include "scene/Text.h"

namespace {

// The sign as the reader's schools write it, kept beside the language's other words.
void LoadSign(HINSTANCE instance, std::int32_t operation, LPWSTR sign, int capacity) {
    UINT id = IDS_SIGN_DIVISION;
    switch (operation) {
        case Addition: id = IDS_SIGN_ADDITION; break;
        case Subtraction: id = IDS_SIGN_SUBTRACTION; break;
        case Multiplication: id = IDS_SIGN_MULTIPLICATION; break;
        default: break;
    }
    LoadStringW(instance, id, sign, capacity);
}

void CopyKeyed(HDC dest, int x, int y, Text& text) {
    TransparentImage(dest, x, y, text.GetWidth(), text.GetHeight(), text.GetSurface(), 0, 0,
                     text.GetWidth(), text.GetHeight(), TransparentKey);
}

}  // namespace

Equation::Equation(Screen* owner, HWND window, std::int32_t op, std::int32_t first,
                   std::int32_t second, COLORREF colour)
    : Figure(owner, window), operand1(first), operand2(second), operation(op) {
    SetX(0);
    SetY(0);

    WCHAR firstText[12];
    WCHAR secondText[12];
    wsprintfW(firstText, TEXT("%d"), operand1);
    wsprintfW(secondText, TEXT("%d"), operand2);
    const LOGFONTW font = ProblemFont();
    Text top(owner, window, firstText, colour, font);
    Text bottom(owner, window, secondText, colour, font);
    WCHAR sign[4];
    LoadSign(owner->instance, operation, sign, 4);
    Text symbol(owner, window, sign, colour, font);

    SetHeight(top.GetHeight() + bottom.GetHeight() + 6);
    const std::int32_t widest =
        top.GetWidth() > bottom.GetWidth() ? top.GetWidth() : bottom.GetWidth();
    SetWidth(widest + symbol.GetWidth());

    surfaceDC = CreateSurface(GetWidth(), GetHeight(), surfaceBitmap);
    ClearSurface(surfaceDC);

    CopyKeyed(surfaceDC, 0, (GetHeight() - symbol.GetHeight()) / 2, symbol);
    CopyKeyed(surfaceDC, GetWidth() - top.GetWidth(), 0, top);
    CopyKeyed(surfaceDC, GetWidth() - bottom.GetWidth(), top.GetHeight() + 1, bottom);

    // The 3-pixel pen centred on the thin rectangle's edges makes a solid bar along the
    // bottom rows.
    HPEN pen = CreatePen(PS_SOLID, 3, colour);
    HGDIOBJ previousPen = SelectObject(surfaceDC, pen);
    Rectangle(surfaceDC, 0, GetHeight() - 3, GetWidth(), GetHeight());
    SelectObject(surfaceDC, previousPen);
    DeleteObject(pen);

    SetVisible(true);
    ComputeResult();
}

Equation::~Equation() {
    DeleteDC(surfaceDC);
    DeleteObject(surfaceBitmap);
}

LPCWSTR Equation::GetTypeName() const { return TEXT("Equation"); }

HDC Equation::GetSurface() { return surfaceDC; }

LOGFONTW Equation::ProblemFont() { return Text::BoldFont(50); }

void Equation::ComputeResult() {
    switch (operation) {
        case Addition: result = operand1 + operand2; break;
        case Subtraction: result = operand1 - operand2; break;
        case Multiplication: result = operand1 * operand2; break;
        default:
            // The generator never poses a zero divisor; a division by it must not be attempted.
            result = operand2 != 0 ? operand1 / operand2 : 0;
            break;
    }
}
