// The process's start-up code on Windows: the system's timer made fine enough for the
// animation's waits, then the program's entry with the system's own arguments.
#include "platform/windows/adapter.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand) {
    // Waits of a millisecond would otherwise last a whole 15.6 ms tick of the system clock.
    timeBeginPeriod(1);
    const int exitCode = ChalkmereWinMain(instance, previous, commandLine, showCommand);
    timeEndPeriod(1);
    return exitCode;
}
