// The process's start-up code on Windows: a language the command line asks for, the user's
// claim to be the one running copy, then the system's timer made fine enough for the
// animation's waits, then the program's entry with the system's own arguments.
#include <cwchar>
#include <string>

#include "platform/windows/adapter.h"
#include "resources/ResourceIds.h"

namespace {

// `--language=CODE` puts that language before the user's for the resource loader, with English
// after it, so a code Windows does not know, or one without a block, plays in English.
void ForceLanguage(LPCWSTR commandLine) {
    const wchar_t* option =
        commandLine != nullptr ? std::wcsstr(commandLine, L"--language=") : nullptr;
    if (option == nullptr) return;
    option += std::wcslen(L"--language=");
    const std::wstring code(option, std::wcscspn(option, L" \t\""));
    // A bare language is taken for its main region's, as the blocks are written.
    const LCID named = code.empty() ? 0 : LocaleNameToLCID(code.c_str(), 0);
    const LCID locale = named != 0
                            ? ConvertDefaultLocale(named)
                            : MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"en-US";
    LCIDToLocaleName(locale, name, LOCALE_NAME_MAX_LENGTH, 0);
    const std::wstring list = std::wstring(name) + L'\0' + L"en-US" + L'\0' + L'\0';
    SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, list.c_str(), nullptr);
    // Wine's loader follows the thread's locale rather than its preferred languages.
    SetThreadLocale(locale);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand) {
    ForceLanguage(commandLine);
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
