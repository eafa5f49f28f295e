// The arithmetic operation of a problem, by its code.
#pragma once

#include <cstdint>

enum Operation : std::int32_t {
    Addition = 0,
    Subtraction = 1,
    Multiplication = 2,
    Division = 3,
};
