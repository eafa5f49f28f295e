#include "drill/ProgressStore.h"

#include <algorithm>

#include "platform/portable/read_decimal.h"

namespace {

constexpr LPCWSTR kProgressKey = TEXT("Software\\Brindlewick\\Chalkmere");
constexpr LPCWSTR kChildrenKey = TEXT("Software\\Brindlewick\\Chalkmere\\Children");
constexpr DWORD kStatisticsSize = kStoredLevels * 2 * 4;
// "1,2,3,..." for far more children than anyone keeps; a longer list reads as missing, and
// the children's keys bring them back.
constexpr DWORD kListLength = 256;

// Closes the key it holds when it goes.
class OpenedKey {
public:
    OpenedKey() = default;
    ~OpenedKey() {
        if (key != nullptr) RegCloseKey(key);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    HKEY key = nullptr;
};

void ChildKeyPath(std::int32_t child, WCHAR (&path)[80]) {
    wsprintfW(path, TEXT("Software\\Brindlewick\\Chalkmere\\Children\\%d"), child);
}

// The first child's key is made if missing, as it always was; a further child's key must
// exist, so that a removed child is never brought back by a late write.
LONG OpenChildKey(std::int32_t child, OpenedKey& opened) {
    if (child <= 1) {
        return RegCreateKeyExW(HKEY_CURRENT_USER, kProgressKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                               nullptr, &opened.key, nullptr);
    }
    WCHAR path[80];
    ChildKeyPath(child, path);
    return RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &opened.key);
}

// True when the `size` bytes read hold a terminated string.
bool IsTerminated(const WCHAR* text, DWORD size) {
    for (DWORD i = 0; i < size / 2; ++i) {
        if (text[i] == 0) return true;
    }
    return false;
}

// Reads a text value into `text`; false when the store cannot be read. `text` is empty when
// the value is missing, of another type, unterminated or longer than `capacity`.
bool ReadText(HKEY key, LPCWSTR name, WCHAR* text, DWORD capacity) {
    text[0] = 0;
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG found = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    if (found == ERROR_FILE_NOT_FOUND) return true;
    if (found != ERROR_SUCCESS) return false;
    if (type != REG_SZ) return true;
    size = capacity * sizeof(WCHAR);
    const LONG read =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size);
    if (read != ERROR_SUCCESS || type != REG_SZ || !IsTerminated(text, size)) text[0] = 0;
    return read == ERROR_SUCCESS || read == ERROR_MORE_DATA;
}

// `value` keeps its default unless the text is a number within range.
bool ReadNumber(HKEY key, LPCWSTR name, std::int32_t min, std::int32_t max, std::int32_t& value) {
    WCHAR text[10];
    if (!ReadText(key, name, text, 10)) return false;
    int number = 0;
    if (ReadDecimalW(text, &number) == 1 && number >= min && number <= max) value = number;
    return true;
}

bool WriteText(HKEY key, LPCWSTR name, const WCHAR* text, int length) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>((length + 1) * 2)) == ERROR_SUCCESS;
}

bool WriteNumberTo(HKEY key, LPCWSTR name, std::int32_t value) {
    WCHAR text[12];
    return WriteText(key, name, text, wsprintfW(text, TEXT("%d"), value));
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

bool ReadStatistics(HKEY key, LevelStatistics (&into)[kStoredLevels]) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    BYTE bytes[kStatisticsSize] = {};
    const LONG found = RegQueryValueExW(key, TEXT("stat"), nullptr, &type, nullptr, &size);
    if (found == ERROR_SUCCESS && type == REG_BINARY && size > 0) {
        // A longer value is read whole and its first 96 bytes used; a shorter one fills the
        // leading records.
        std::vector<BYTE> stored(size);
        if (RegQueryValueExW(key, TEXT("stat"), nullptr, &type, stored.data(), &size) !=
            ERROR_SUCCESS) {
            return false;
        }
        std::copy_n(stored.begin(), std::min(size, kStatisticsSize), bytes);
    } else if (found != ERROR_SUCCESS && found != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    for (int i = 0; i < kStoredLevels; ++i) {
        const std::int32_t correct = ReadInt32(bytes + i * 8);
        const std::int32_t attempts = ReadInt32(bytes + i * 8 + 4);
        // A record that cannot be true would show a percentage outside 0..100.
        if (correct >= 0 && correct <= attempts) into[i] = {correct, attempts};
    }
    return true;
}

// The numbers of the children's keys (canonical decimal names of 2 and above), ascending.
bool ReadChildKeys(std::vector<std::int32_t>& numbers) {
    OpenedKey children;
    const LONG opened =
        RegOpenKeyExW(HKEY_CURRENT_USER, kChildrenKey, 0, KEY_ALL_ACCESS, &children.key);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    for (DWORD index = 0;; ++index) {
        WCHAR name[16];
        DWORD length = 16;
        const LONG listed =
            RegEnumKeyExW(children.key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (listed == ERROR_NO_MORE_ITEMS) break;
        if (listed == ERROR_MORE_DATA) continue;  // no number of ours is that long
        if (listed != ERROR_SUCCESS) return false;
        int number = 0;
        if (ReadDecimalW(name, &number) != 1 || number < 2) continue;
        // "02" or "2x" is some other key, not child 2's.
        WCHAR again[16];
        wsprintfW(again, TEXT("%d"), number);
        if (lstrcmpW(again, name) == 0) numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    return true;
}

// The numbers in "1,2,4" that are whole decimal numbers, in order.
std::vector<std::int32_t> ParseList(const WCHAR* text) {
    std::vector<std::int32_t> numbers;
    const WCHAR* p = text;
    while (*p != 0) {
        long long number = 0;
        int digits = 0;
        for (; *p >= TEXT('0') && *p <= TEXT('9'); ++p, ++digits) {
            if (digits < 10) number = number * 10 + (*p - TEXT('0'));
        }
        const bool whole = digits > 0 && digits <= 9 && (*p == TEXT(',') || *p == 0);
        while (*p != 0 && *p != TEXT(',')) ++p;
        if (*p == TEXT(',')) ++p;
        if (whole) numbers.push_back(static_cast<std::int32_t>(number));
    }
    return numbers;
}

bool WriteList(HKEY key, const std::vector<std::int32_t>& numbers) {
    std::vector<WCHAR> text(numbers.size() * 11 + 1, 0);
    int length = 0;
    for (const std::int32_t number : numbers) {
        if (length > 0) text[length++] = TEXT(',');
        length += wsprintfW(text.data() + length, TEXT("%d"), number);
    }
    return WriteText(key, TEXT("children"), text.data(), length);
}

std::vector<std::int32_t> NumbersOf(const Household& household) {
    std::vector<std::int32_t> numbers;
    for (const StoredChild& child : household.children) numbers.push_back(child.number);
    return numbers;
}

}  // namespace

std::optional<StoredProgress> ProgressStore::Read() const {
    StoredProgress stored;
    OpenedKey opened;
    const LONG status = OpenChildKey(child_, opened);
    if (status == ERROR_FILE_NOT_FOUND) return stored;
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::int32_t autoOff = 0;
    // Each read stops at the first that cannot: a lock held elsewhere is waited for once.
    if (!ReadNumber(opened.key, TEXT("score"), 0, kMaxScore, stored.score) ||
        !ReadNumber(opened.key, TEXT("level"), 1, kStoredLevels, stored.level) ||
        !ReadNumber(opened.key, TEXT("auto"), 0, 1, autoOff) ||
        !ReadStatistics(opened.key, stored.stats)) {
        return std::nullopt;
    }
    stored.autoLevel = autoOff == 0;
    return stored;
}

bool ProgressStore::WriteNumber(LPCWSTR name, std::int32_t value) const {
    OpenedKey opened;
    return OpenChildKey(child_, opened) == ERROR_SUCCESS && WriteNumberTo(opened.key, name, value);
}

bool ProgressStore::WriteScore(std::int32_t score) const {
    return WriteNumber(TEXT("score"), score);
}

bool ProgressStore::WriteLevel(std::int32_t level) const {
    return WriteNumber(TEXT("level"), level);
}

bool ProgressStore::WriteAutoLevel(bool on) const { return WriteNumber(TEXT("auto"), on ? 0 : 1); }

bool ProgressStore::WriteStatistics(const LevelStatistics (&stats)[kStoredLevels]) const {
    OpenedKey opened;
    if (OpenChildKey(child_, opened) != ERROR_SUCCESS) return false;
    BYTE bytes[kStatisticsSize];
    for (int i = 0; i < kStoredLevels; ++i) {
        WriteInt32(bytes + i * 8, stats[i].correct);
        WriteInt32(bytes + i * 8 + 4, stats[i].attempts);
    }
    return RegSetValueExW(opened.key, TEXT("stat"), 0, REG_BINARY, bytes, kStatisticsSize) ==
           ERROR_SUCCESS;
}

std::int32_t Household::PictureOf(std::int32_t number) const {
    for (const StoredChild& child : children) {
        if (child.number == number) return child.picture;
    }
    return 0;
}

bool Household::PictureTaken(std::int32_t picture) const {
    return std::any_of(children.begin(), children.end(),
                       [picture](const StoredChild& child) { return child.picture == picture; });
}

bool Household::Has(std::int32_t number) const {
    return std::any_of(children.begin(), children.end(),
                       [number](const StoredChild& child) { return child.number == number; });
}

std::optional<Household> ReadHousehold() {
    OpenedKey main;
    if (OpenChildKey(1, main) != ERROR_SUCCESS) return std::nullopt;
    WCHAR list[kListLength];
    std::int32_t firstPicture = 0;
    Household household;
    std::vector<std::int32_t> keys;
    if (!ReadText(main.key, TEXT("children"), list, kListLength) ||
        !ReadNumber(main.key, TEXT("picture"), 1, Household::kPictures, firstPicture) ||
        !ReadNumber(main.key, TEXT("lastChild"), 1, 999999999, household.lastChild) ||
        !ReadNumber(main.key, TEXT("nextChild"), 2, 999999999, household.nextChild) ||
        !ReadChildKeys(keys)) {
        return std::nullopt;
    }
    household.firstPictureStored = firstPicture != 0;

    // The first child is always there and always first; a number never given again must stay
    // above every number listed, even those whose keys are gone.
    std::vector<std::int32_t> numbers = {1};
    for (const std::int32_t number : ParseList(list)) {
        if (number >= household.nextChild) household.nextChild = number + 1;
        if (std::binary_search(keys.begin(), keys.end(), number) &&
            std::find(numbers.begin(), numbers.end(), number) == numbers.end()) {
            numbers.push_back(number);
        }
    }
    for (const std::int32_t number : keys) {
        if (number >= household.nextChild) household.nextChild = number + 1;
        if (std::find(numbers.begin(), numbers.end(), number) == numbers.end()) {
            numbers.push_back(number);
        }
    }

    for (const std::int32_t number : numbers) {
        std::int32_t picture = firstPicture;
        if (number != 1) {
            OpenedKey child;
            picture = 0;
            const LONG status = OpenChildKey(number, child);
            if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return std::nullopt;
            if (status == ERROR_SUCCESS &&
                !ReadNumber(child.key, TEXT("picture"), 1, Household::kPictures, picture)) {
                return std::nullopt;
            }
        }
        if (picture == 0 || household.PictureTaken(picture)) {
            picture = 0;
            for (std::int32_t free = 1; free <= Household::kPictures && picture == 0; ++free) {
                if (!household.PictureTaken(free)) picture = free;
            }
        }
        household.children.push_back({number, picture});
    }
    if (!household.Has(household.lastChild)) household.lastChild = 1;
    return household;
}

std::int32_t StoreNewChild(const Household& household, std::int32_t picture) {
    const std::int32_t number = household.nextChild;
    OpenedKey main;
    if (OpenChildKey(1, main) != ERROR_SUCCESS) return 0;
    // The number is spent before its key exists, so a key left by a failure is never reused.
    if (!WriteNumberTo(main.key, TEXT("nextChild"), number + 1)) return 0;
    WCHAR path[80];
    ChildKeyPath(number, path);
    OpenedKey child;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child.key,
                        nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    const StoredProgress fresh;
    const ProgressStore store(number);
    if (!WriteNumberTo(child.key, TEXT("picture"), picture) || !store.WriteScore(fresh.score) ||
        !store.WriteLevel(fresh.level) || !store.WriteAutoLevel(fresh.autoLevel) ||
        !store.WriteStatistics(fresh.stats)) {
        // Half a child would come back with the first free picture; a key that stays
        // anyway is found again, its number spent.
        OpenedKey children;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kChildrenKey, 0, KEY_ALL_ACCESS, &children.key) ==
            ERROR_SUCCESS) {
            RegDeleteKeyW(children.key, path + lstrlenW(kChildrenKey) + 1);
        }
        return 0;
    }
    // The first child's picture so far was only shown; from now on it is theirs.
    if (!household.firstPictureStored && !household.children.empty()) {
        WriteNumberTo(main.key, TEXT("picture"), household.children.front().picture);
    }
    std::vector<std::int32_t> numbers = NumbersOf(household);
    numbers.push_back(number);
    WriteList(main.key, numbers);
    return number;
}

bool StoreRemoval(const Household& household, std::int32_t number) {
    if (number <= 1) return false;
    OpenedKey children;
    const LONG opened =
        RegOpenKeyExW(HKEY_CURRENT_USER, kChildrenKey, 0, KEY_ALL_ACCESS, &children.key);
    if (opened != ERROR_SUCCESS && opened != ERROR_FILE_NOT_FOUND) return false;
    if (opened == ERROR_SUCCESS) {
        WCHAR name[12];
        wsprintfW(name, TEXT("%d"), number);
        const LONG deleted = RegDeleteKeyW(children.key, name);
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) return false;
    }
    // A list still naming the child is mended at the next reading, the key being gone.
    std::vector<std::int32_t> numbers = NumbersOf(household);
    numbers.erase(std::remove(numbers.begin(), numbers.end(), number), numbers.end());
    OpenedKey main;
    if (OpenChildKey(1, main) == ERROR_SUCCESS) WriteList(main.key, numbers);
    return true;
}

bool StoreLastChild(std::int32_t number) {
    OpenedKey main;
    return OpenChildKey(1, main) == ERROR_SUCCESS &&
           WriteNumberTo(main.key, TEXT("lastChild"), number);
}
