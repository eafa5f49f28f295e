// A problem written vertically as on a blackboard: the first operand, the second beneath it
// with the operator to their left, and a bar underneath. Composed once, at construction.
#pragma once

#include <cstdint>

#include "drill/Operation.h"
#include "scene/Figure.h"

class Equation : public Figure {
public:
    Equation(Screen* owner, HWND window, std::int32_t operation, std::int32_t operand1,
             std::int32_t operand2, COLORREF colour);
    ~Equation() override;
    LPCWSTR GetTypeName() const override;
    HDC GetSurface() override;

    void ComputeResult();

    // The problem's digits and the result beneath it: 50 pixels, bold, Swiss.
    static LOGFONTW ProblemFont();

    HDC surfaceDC = nullptr;
    HBITMAP surfaceBitmap = nullptr;
    std::int32_t operand1;
    std::int32_t operand2;
    std::int32_t operation;
    std::int32_t result = 0;
};
