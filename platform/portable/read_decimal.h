// Helpers the program calls that no system provides under these names, shared as they are by
// every build.
#pragma once

#include "platform/win32.h"

// Reads a leading decimal integer as swscanf(text, "%d", value) does: leading blanks, an
// optional sign, digits up to the first non-digit. Returns 1 and stores the number, or 0
// when the text holds no number. Numbers beyond the 32-bit range saturate.
int ReadDecimalW(LPCWSTR text, int* value);
