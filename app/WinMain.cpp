// The program's entry.
#include "app/MainWindow.h"

int WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand) {
    if (!CreateMainWindow(instance, showCommand)) return 0;
    return RunMainLoop();
}
