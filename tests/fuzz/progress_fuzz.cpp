// Fuzzes what the progress record loads: arbitrary bytes as the stored "score", "level",
// "auto" and "stat" values, or an arbitrary file as the whole registry database. Whatever
// was stored, the loaded record must be within its ranges and saving must work.
//
// Input: the first byte chooses the form. Odd: the rest is the database file. Even: four
// values follow, each as a type byte, a length byte and that many bytes.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "drill/Progress.h"
#include "platform/desktop/sqlite_store.h"
#include "platform/testing/testing.h"

namespace {

const std::string& Folder() {
    static auto* folder = new platform::testing::TemporaryFolder();
    return folder->Path();
}

std::string File() { return Folder() + "/registry.db"; }

void Require(bool condition) {
    if (!condition) std::abort();
}

void EmptyFolder() {
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) {
        std::filesystem::remove(entry.path());
    }
}

void StoreValues(const std::uint8_t* data, std::size_t size) {
    static const DWORD kTypes[] = {REG_SZ, REG_BINARY, REG_DWORD, REG_NONE};
    static const LPCWSTR kNames[] = {TEXT("score"), TEXT("level"), TEXT("auto"), TEXT("stat")};
    HKEY key = nullptr;
    Require(RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Brindlewick\\Chalkmere"), 0, nullptr,
                            0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS);
    for (LPCWSTR name : kNames) {
        if (size < 2) break;
        const DWORD type = kTypes[data[0] % 4];
        std::size_t length = data[1];
        data += 2;
        size -= 2;
        if (length > size) length = size;
        RegSetValueExW(key, name, 0, type, data, static_cast<DWORD>(length));
        data += length;
        size -= length;
    }
    RegCloseKey(key);
}

void RequireInRange(const Progress& progress) {
    Require(progress.level >= 1 && progress.level <= 12);
    Require(progress.score >= 0 && progress.score <= 999999);
    Require(progress.bonus == 12);
    for (const LevelStatistics& record : progress.stats) {
        Require(record.correct >= 0 && record.correct <= record.attempts);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    EmptyFolder();
    if (data[0] % 2 == 1) {
        std::ofstream(File(), std::ios::binary)
            .write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
    }
    platform::SqliteStore store(File());
    platform::SetRegistryStore(&store);
    if (data[0] % 2 == 0) StoreValues(data + 1, size - 1);

    Progress* progress = AcquireProgress();
    RequireInRange(*progress);
    for (int level = 0; level <= 13; ++level) {
        const float ratio = progress->CorrectRatio(level);
        Require(ratio >= 0.0f && ratio <= 1.0f);
    }
    progress->AddBonusToScore();
    progress->RecordResult(true);
    const std::int32_t score = progress->score;
    const std::int32_t level = progress->level;
    ReleaseProgress();

    // What was just saved loads back, whatever the file held before.
    progress = AcquireProgress();
    RequireInRange(*progress);
    Require(progress->score == score && progress->level == level);
    ReleaseProgress();
    platform::SetRegistryStore(nullptr);
    return 0;
}
