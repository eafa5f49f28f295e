#include "drill/Progress.h"

#include <algorithm>
#include <climits>
#include <iterator>
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

// Counts stop at the 32-bit limit instead of wrapping.
std::int32_t AddCounts(std::int32_t a, std::int32_t b) {
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : static_cast<std::int32_t>(sum);
}

void WriteInt32(BYTE* bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(bits >> (8 * i));
}

}  // namespace

Progress* sharedProgress = nullptr;
std::int32_t progressRefs = 0;

Progress::Progress() {
    Stored stored;
    loaded = ReadStored(stored);
    score = stored.score;
    level = stored.level;
    autoLevel = stored.autoLevel;
    for (int i = 0; i < kLevels; ++i) stats[i] = stored.stats[i];
    bonus = kFullBonus;
}

Progress::~Progress() { recentResults.Clear(); }

bool Progress::ReadStored(Stored& stored) {
    readFailed = false;
    // Each load stops at the first that cannot read: a lock held elsewhere is waited for once.
    stored.score = LoadNumber(TEXT("score"), 0, kMaxScore);
    if (!readFailed) stored.level = LoadNumber(TEXT("level"), 1, kLevels);
    if (!readFailed) stored.autoLevel = LoadNumber(TEXT("auto"), 0, 1) == 0;
    if (!readFailed) LoadStatistics(stored.stats);
    if (readFailed) stored = Stored{};
    return !readFailed;
}

int Progress::LoadNumber(LPCWSTR name, int min, int max) {
    HKEY key = OpenProgressKey();
    if (key == nullptr) {
        readFailed = true;
        return min;
    }
    int result = min;
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG found = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (found == ERROR_SUCCESS && type == REG_SZ) {
        WCHAR text[10];
        size = sizeof text;
        int number = 0;
        // Text that is longer than the buffer, of another type or unterminated counts as
        // missing; an out-of-range number is replaced by the default, never clamped.
        const LONG read =
            RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size);
        if (read == ERROR_SUCCESS && type == REG_SZ && IsTerminated(text, size) &&
            ReadDecimalW(text, &number) == 1 && number >= min && number <= max) {
            result = number;
        }
        if (read != ERROR_SUCCESS && read != ERROR_MORE_DATA) readFailed = true;
    } else if (found != ERROR_SUCCESS && found != ERROR_FILE_NOT_FOUND) {
        readFailed = true;
    }
    RegCloseKey(key);
    return result;
}

bool Progress::SaveNumber(LPCWSTR name, int value) {
    // The text holds nine characters and the terminator; a longer number is not cut short.
    if (value > 999999999 || value < -99999999) return true;
    HKEY key = OpenProgressKey();
    if (key == nullptr) return false;
    WCHAR text[10];
    const int length = wsprintfW(text, TEXT("%d"), value);
    const LONG written = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                                        static_cast<DWORD>((length + 1) * 2));
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

bool Progress::SaveStatistics() {
    HKEY key = OpenProgressKey();
    if (key == nullptr) return false;
    BYTE bytes[kStatisticsSize];
    for (int i = 0; i < kLevels; ++i) {
        WriteInt32(bytes + i * 8, stats[i].correct);
        WriteInt32(bytes + i * 8 + 4, stats[i].attempts);
    }
    const LONG written = RegSetValueExW(key, TEXT("stat"), 0, REG_BINARY, bytes, kStatisticsSize);
    RegCloseKey(key);
    return written == ERROR_SUCCESS;
}

void Progress::LoadStatistics(LevelStatistics (&into)[kLevels]) {
    HKEY key = OpenProgressKey();
    if (key == nullptr) {
        readFailed = true;
        return;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    BYTE bytes[kStatisticsSize] = {};
    const LONG found = RegQueryValueExW(key, TEXT("stat"), nullptr, &type, nullptr, &size);
    if (found == ERROR_SUCCESS && type == REG_BINARY && size > 0) {
        // A longer value is read whole and its first 96 bytes used; a shorter one fills the
        // leading records.
        std::vector<BYTE> stored(size);
        if (RegQueryValueExW(key, TEXT("stat"), nullptr, &type, stored.data(), &size) ==
            ERROR_SUCCESS) {
            for (DWORD i = 0; i < size && i < kStatisticsSize; ++i) bytes[i] = stored[i];
        } else {
            readFailed = true;
        }
    } else if (found != ERROR_SUCCESS && found != ERROR_FILE_NOT_FOUND) {
        readFailed = true;
    }
    RegCloseKey(key);
    for (int i = 0; i < kLevels; ++i) {
        const std::int32_t correct = ReadInt32(bytes + i * 8);
        const std::int32_t attempts = ReadInt32(bytes + i * 8 + 4);
        // A record that cannot be true would show a percentage outside 0..100.
        if (correct >= 0 && correct <= attempts) into[i] = {correct, attempts};
    }
}

void Progress::MergeStored(const Stored& stored) {
    // A reset chosen meanwhile stands: what the record holds now came after it.
    if (!outage.reset) {
        const long long sum = static_cast<long long>(stored.score) + outage.points;
        score = sum > kMaxScore ? kMaxScore : static_cast<std::int32_t>(sum);
        for (int i = 0; i < kLevels; ++i) {
            stats[i].correct = AddCounts(stored.stats[i].correct, outage.results[i].correct);
            stats[i].attempts = AddCounts(stored.stats[i].attempts, outage.results[i].attempts);
        }
    }
    if (!outage.levelChosen && level != stored.level) {
        level = stored.level;
        levelChanged = true;
        recentResults.Clear();
    }
    if (!outage.autoChosen) autoLevel = stored.autoLevel;
    scoreChanged = true;
    if (outage.reset || outage.points != 0) unsaved |= kScore;
    if (outage.reset || std::any_of(std::begin(outage.results), std::end(outage.results),
                                    [](const LevelStatistics& r) { return r.attempts != 0; })) {
        unsaved |= kStat;
    }
    if (outage.levelChosen) unsaved |= kLevel;
    if (outage.autoChosen) unsaved |= kAuto;
    outage = Outage{};
}

void Progress::Save(std::uint8_t values) {
    unsaved |= values;
    if (!loaded) {
        Stored stored;
        if (!ReadStored(stored)) return;
        loaded = true;
        unsaved = 0;
        MergeStored(stored);
    }
    if ((unsaved & kStat) != 0 && SaveStatistics()) unsaved &= ~kStat;
    if ((unsaved & kScore) != 0 && SaveNumber(TEXT("score"), score)) unsaved &= ~kScore;
    if ((unsaved & kLevel) != 0 && SaveNumber(TEXT("level"), level)) unsaved &= ~kLevel;
    // Stored inverted: 0 while automatic levelling is on.
    if ((unsaved & kAuto) != 0 && SaveNumber(TEXT("auto"), autoLevel ? 0 : 1)) unsaved &= ~kAuto;
}

void Progress::AddBonusToScore() {
    // The score stops at the largest value that loads back, so no saved score is lost.
    const long long sum = static_cast<long long>(score) + bonus;
    score = sum > kMaxScore ? kMaxScore : static_cast<std::int32_t>(sum);
    if (loaded) {
        bonus = kFullBonus;
        Save(kScore);
        return;
    }
    // Until the stored values can be read, the points wait for the result that follows them,
    // so that the result is counted at the level of the problem it belongs to.
    outage.points += bonus;
    bonus = kFullBonus;
    unsaved |= kScore;
}

void Progress::RecordResult(bool correct) {
    LevelStatistics& record = stats[level - 1];
    // Counts stop at the 32-bit limit instead of wrapping.
    if (record.attempts < INT_MAX) ++record.attempts;
    if (correct && record.correct < record.attempts) ++record.correct;
    if (!loaded) {
        ++outage.results[level - 1].attempts;
        if (correct) ++outage.results[level - 1].correct;
    }
    const std::int32_t levelBefore = level;
    if (autoLevel) {
        recentResults.InsertAt(correct ? 1 : 0, recentResults.count);
        if (recentResults.count >= 5) {
            int correctOfLastFive = 0;
            auto* node = recentResults.tail;
            for (int i = 0; i < 5; ++i, node = node->prev) correctOfLastFive += node->value;
            if (correctOfLastFive >= 4 && level < kLevels) {
                ++level;
                recentResults.Clear();
            } else if (correctOfLastFive <= 1 && level > 1) {
                --level;
                recentResults.Clear();
            }
        }
    }
    Save(level != levelBefore ? kStat | kLevel : kStat);
}

void Progress::SetLevel(int newLevel) {
    // A level outside the table would index past the statistics.
    if (newLevel < 1 || newLevel > kLevels) return;
    if (newLevel != level) {
        levelChanged = true;
        recentResults.Clear();
    }
    level = newLevel;
    if (!loaded) outage.levelChosen = true;
    Save(kLevel);
}

void Progress::ResetStatistics() {
    for (LevelStatistics& record : stats) record = {0, 0};
    score = 0;
    scoreChanged = true;
    if (!loaded) outage = {0, {}, true, outage.levelChosen, outage.autoChosen};
    Save(kStat | kScore);
}

void Progress::SetAutoLevel(bool on) {
    autoLevel = on;
    if (!loaded) outage.autoChosen = true;
    Save(kAuto);
}

float Progress::CorrectRatio(int levelNumber) {
    if (levelNumber < 1 || levelNumber > kLevels) return 0.0f;
    const LevelStatistics& record = stats[levelNumber - 1];
    if (record.attempts == 0) return 0.0f;
    return static_cast<float>(record.correct) / static_cast<float>(record.attempts);
}

std::int32_t Progress::CorrectPercent(int levelNumber) const {
    if (levelNumber < 1 || levelNumber > kLevels) return 0;
    const LevelStatistics& record = stats[levelNumber - 1];
    if (record.attempts <= 0) return 0;
    return static_cast<std::int32_t>(static_cast<long long>(record.correct) * 100 /
                                     record.attempts);
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
