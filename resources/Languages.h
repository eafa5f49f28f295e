// Language identifiers of the resource script's blocks, with the numbers Windows gives them
// (primary language, sublanguage). Decimal, so every resource compiler reads them alike. Each
// block is its language's main region's, the one Windows takes a bare language name for.
#pragma once

#define LANG_NEUTRAL 0
#define SUBLANG_NEUTRAL 0
#define LANG_GERMAN 7
#define SUBLANG_GERMAN 1
#define LANG_ENGLISH 9
#define SUBLANG_ENGLISH_US 1
#define LANG_SPANISH 10
#define SUBLANG_SPANISH_MODERN 3
#define LANG_FRENCH 12
#define SUBLANG_FRENCH 1
#define LANG_ITALIAN 16
#define SUBLANG_ITALIAN 1
#define LANG_DUTCH 19
#define SUBLANG_DUTCH 1
#define LANG_POLISH 21
#define SUBLANG_POLISH_POLAND 1
#define LANG_PORTUGUESE 22
#define SUBLANG_PORTUGUESE_BRAZILIAN 1
#define LANG_UKRAINIAN 34
#define SUBLANG_UKRAINIAN_UKRAINE 1
