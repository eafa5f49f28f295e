#include "drill/Progress.h"

#include <climits>
#include <vector>

#include "platform/portable/read_decimal.h"

namespace {

constexpr LPCWSTR kProgressKey = TEXT("Software\\Brindlewick\\Chalkmere");
constexpr DWORD kStatisticsSize = Progress::kLevels * 2 * 4;

HKEY OpenProgressKey() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kProgressKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return key;
}

// True when the `size` bytes read hold a terminated string.
bool IsTerminated(const WCHAR* text, DWORD size) {
    for (DWORD i = 0; i < size / 2; ++i) {
        if (text[i] == 0) return true;
    }
    return false;
}

std::int32_t ReadInt32(const BYTE* bytes) {
    const std::uint32_t value =
        static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
        (static_cast<std::uint32_t>(bytes[2]) << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(value);
}

void WriteInt32(BYTE* bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(bits >> (8 * i));
}

}  // namespace

Progress* sharedProgress = nullptr;
std::int32_t progressRefs = 0;

Progress::Progress() {
    score = LoadNumber(TEXT("score"), 0, kMaxScore);
    level = LoadNumber(TEXT("level"), 1, kLevels);
    if (LoadNumber(TEXT("auto"), 0, 1) != 0) autoLevel = false;
    LoadStatistics();
    bonus = kFullBonus;
}

Progress::~Progress() { recentResults.Clear(); }

int Progress::LoadNumber(LPCWSTR name, int min, int max) {
    HKEY key = OpenProgressKey();
    if (key == nullptr) return min;
    int result = min;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        WCHAR text[10];
        size = sizeof text;
        int number = 0;
        // Text that is longer than the buffer, of another type or unterminated counts as
        // missing; an out-of-range number is replaced by the default, never clamped.
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ && IsTerminated(text, size) && ReadDecimalW(text, &number) == 1 &&
            number >= min && number <= max) {
            result = number;
        }
    }
    RegCloseKey(key);
    return result;
}

void Progress::SaveNumber(LPCWSTR name, int value) {
    // The text holds nine characters and the terminator; a longer number is not cut short.
    if (value > 999999999 || value < -99999999) return;
    HKEY key = OpenProgressKey();
    if (key == nullptr) return;
    WCHAR text[10];
    const int length = wsprintfW(text, TEXT("%d"), value);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>((length + 1) * 2));
    RegCloseKey(key);
}

void Progress::SaveStatistics() {
    HKEY key = OpenProgressKey();
    if (key == nullptr) return;
    BYTE bytes[kStatisticsSize];
    for (int i = 0; i < kLevels; ++i) {
        WriteInt32(bytes + i * 8, stats[i].correct);
        WriteInt32(bytes + i * 8 + 4, stats[i].attempts);
    }
    RegSetValueExW(key, TEXT("stat"), 0, REG_BINARY, bytes, kStatisticsSize);
    RegCloseKey(key);
}

void Progress::LoadStatistics() {
    HKEY key = OpenProgressKey();
    if (key == nullptr) return;
    DWORD type = REG_NONE;
    DWORD size = 0;
    BYTE bytes[kStatisticsSize] = {};
    if (RegQueryValueExW(key, TEXT("stat"), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_BINARY && size > 0) {
        // A longer value is read whole and its first 96 bytes used; a shorter one fills the
        // leading records.
        std::vector<BYTE> stored(size);
        if (RegQueryValueExW(key, TEXT("stat"), nullptr, &type, stored.data(), &size) ==
            ERROR_SUCCESS) {
            for (DWORD i = 0; i < size && i < kStatisticsSize; ++i) bytes[i] = stored[i];
        }
    }
    RegCloseKey(key);
    for (int i = 0; i < kLevels; ++i) {
        const std::int32_t correct = ReadInt32(bytes + i * 8);
        const std::int32_t attempts = ReadInt32(bytes + i * 8 + 4);
        // A record that cannot be true would show a percentage outside 0..100.
        if (correct >= 0 && correct <= attempts) stats[i] = {correct, attempts};
    }
}

void Progress::AddBonusToScore() {
    // The score stops at the largest value that loads back, so no saved score is lost.
    const long long sum = static_cast<long long>(score) + bonus;
    score = sum > kMaxScore ? kMaxScore : static_cast<std::int32_t>(sum);
    bonus = kFullBonus;
    SaveNumber(TEXT("score"), score);
}

void Progress::RecordResult(bool correct) {
    LevelStatistics& record = stats[level - 1];
    // Counts stop at the 32-bit limit instead of wrapping.
    if (record.attempts < INT_MAX) ++record.attempts;
    if (correct && record.correct < record.attempts) ++record.correct;
    SaveStatistics();
    if (!autoLevel) return;

    recentResults.InsertAt(correct ? 1 : 0, recentResults.count);
    if (recentResults.count < 5) return;
    int correctOfLastFive = 0;
    auto* node = recentResults.tail;
    for (int i = 0; i < 5; ++i, node = node->prev) correctOfLastFive += node->value;

    if (correctOfLastFive >= 4) {
        if (level < kLevels) {
            ++level;
            SaveNumber(TEXT("level"), level);
            recentResults.Clear();
        }
    } else if (correctOfLastFive <= 1) {
        if (level > 1) {
            --level;
            SaveNumber(TEXT("level"), level);
            recentResults.Clear();
        }
    }
}

void Progress::SetLevel(int newLevel) {
    // A level outside the table would index past the statistics.
    if (newLevel < 1 || newLevel > kLevels) return;
    if (newLevel != level) {
        levelChanged = true;
        recentResults.Clear();
    }
    level = newLevel;
    SaveNumber(TEXT("level"), level);
}

void Progress::ResetStatistics() {
    for (LevelStatistics& record : stats) record = {0, 0};
    SaveStatistics();
    score = 0;
    SaveNumber(TEXT("score"), 0);
    scoreChanged = true;
}

void Progress::SetAutoLevel(bool on) {
    autoLevel = on;
    // Stored inverted: 0 while automatic levelling is on.
    SaveNumber(TEXT("auto"), on ? 0 : 1);
}

float Progress::CorrectRatio(int levelNumber) {
    if (levelNumber < 1 || levelNumber > kLevels) return 0.0f;
    const LevelStatistics& record = stats[levelNumber - 1];
    if (record.attempts == 0) return 0.0f;
    return static_cast<float>(record.correct) / static_cast<float>(record.attempts);
}

Progress* AcquireProgress() {
    ++progressRefs;
    if (sharedProgress == nullptr) sharedProgress = new Progress();
    return sharedProgress;
}

void ReleaseProgress() {
    // An unbalanced release must not drive the count below zero, where the next acquire
    // would no longer keep the record alive.
    if (progressRefs <= 0) return;
    --progressRefs;
    if (progressRefs == 0 && sharedProgress != nullptr) {
        sharedProgress->recentResults.Clear();
        delete sharedProgress;
        sharedProgress = nullptr;
    }
}
