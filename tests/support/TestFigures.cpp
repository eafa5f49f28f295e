// The support library's one source: its figure lives in the header.
#include "tests/support/TestFigures.h"
