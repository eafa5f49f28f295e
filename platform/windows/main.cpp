// The process's start-up code on Windows: the user's claim to be the one running copy, then
// the system's timer made fine enough for the animation's waits, then the program's entry with
// the system's own arguments.
#include "platform/windows/adapter.h"
#include "resources/ResourceIds.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand) {
    // Claimed before anything else, so two copies started together cannot both run and write
    // over each other's progress; the one that loses brings the other forward and ends.
    WCHAR className[100];
    WCHAR title[100];
    LoadStringW(instance, IDS_CLASS_NAME, className, 100);
    LoadStringW(instance, IDS_TITLE, title, 100);
    if (!win32adapter::ClaimInstance(className, title)) {
        win32adapter::RaiseRunningInstance(className, title, 5000);
        return 0;
    }
    // Waits of a millisecond would otherwise last a whole 15.6 ms tick of the system clock.
    timeBeginPeriod(1);
    const int exitCode = ChalkmereWinMain(instance, previous, commandLine, showCommand);
    timeEndPeriod(1);
    return exitCode;
}
