// Language identifiers of the resource script's blocks, with the numbers Windows gives them
// (primary language, sublanguage). Decimal, so every resource compiler reads them alike.
#pragma once

#define LANG_NEUTRAL 0
#define SUBLANG_NEUTRAL 0
#define LANG_GERMAN 7
#define LANG_ENGLISH 9
#define SUBLANG_ENGLISH_US 1
#define LANG_SPANISH 10
#define LANG_FRENCH 12
#define LANG_ITALIAN 16
#define LANG_DUTCH 19
#define LANG_POLISH 21
#define LANG_PORTUGUESE 22
#define SUBLANG_PORTUGUESE_BRAZILIAN 1
#define LANG_UKRAINIAN 34
