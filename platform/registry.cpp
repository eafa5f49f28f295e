// The current user's registry, kept in one SQLite database per user:
// $XDG_DATA_HOME/chalkmere/registry.db (~/.local/share/chalkmere/registry.db by default).
//
// On-disk format (application_id 0x43484B4D "CHKM", user_version 1):
//   keys(path TEXT PRIMARY KEY COLLATE NOCASE) WITHOUT ROWID
//     every key that exists, as "HKEY_CURRENT_USER\Software\…", parents included
//   registry_values(key TEXT COLLATE NOCASE, name TEXT COLLATE NOCASE, type INTEGER,
//                   data BLOB, PRIMARY KEY(key, name)) WITHOUT ROWID
//     each value's Win32 type and its bytes exactly as written
// The journal is a WAL with synchronous=FULL: every value write is one transaction that has
// reached the disk when RegSetValueExW returns, and a killed process or a power cut never
// leaves the file unreadable. A file that is not our database (garbage, damage, another
// program's database) is moved aside as registry.db.damaged-<time> and a fresh one started,
// which gets every value that could still be read from the damaged one.
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/paths.h"
#include "platform/testing.h"
#include "platform/text.h"
#include "platform/win32.h"

namespace platform {
namespace {

constexpr int kApplicationId = 0x43484B4D;
constexpr const char* kRoot = "HKEY_CURRENT_USER";
// Values are small; anything larger is refused rather than stored.
constexpr DWORD kMaxValueSize = 1u << 20;

bool IsDamage(int rc) {
    rc &= 0xFF;
    return rc == SQLITE_CORRUPT || rc == SQLITE_NOTADB;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// Creates every missing directory of `path` (which names a directory).
bool MakeDirectories(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

std::string DefaultPath() {
    const std::string folder = UserDataFolder();
    return folder.empty() ? std::string() : folder + "/chalkmere/registry.db";
}

// A prepared statement that is reset after each use.
class Statement {
public:
    Statement() = default;
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int Prepare(sqlite3* db, const char* sql) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
        return sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr);
    }
    sqlite3_stmt* Use() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
        return statement_;
    }

private:
    sqlite3_stmt* statement_ = nullptr;
};

struct SalvagedValue {
    std::string key;
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

// The one connection of the process to the registry database, opened on first use.
class Store {
public:
    static Store& Instance() {
        static Store store;
        return store;
    }

    void SetPath(std::string path) {
        Close();
        overridePath_ = std::move(path);
    }

    const std::string& LastError() const { return lastError_; }

    // Makes sure `path` and its parents exist as keys; `created` tells whether `path` was new.
    LONG EnsureKey(const std::string& path, bool& created) {
        return Retrying([&]() -> int {
            sqlite3_stmt* find = findKey_.Use();
            sqlite3_bind_text(find, 1, path.c_str(), -1, SQLITE_TRANSIENT);
            const int rc = sqlite3_step(find);
            if (rc == SQLITE_ROW) {
                created = false;
                return SQLITE_OK;
            }
            if (rc != SQLITE_DONE) return rc;
            created = true;
            return InTransaction([&] { return InsertKeyChain(path); });
        });
    }

    LONG Query(const std::string& key, const std::string& name, DWORD& type,
               std::vector<BYTE>& data) {
        bool found = false;
        const LONG result = Retrying([&]() -> int {
            sqlite3_stmt* select = selectValue_.Use();
            sqlite3_bind_text(select, 1, key.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(select, 2, name.c_str(), -1, SQLITE_TRANSIENT);
            const int rc = sqlite3_step(select);
            if (rc == SQLITE_DONE) return SQLITE_OK;
            if (rc != SQLITE_ROW) return rc;
            found = true;
            type = static_cast<DWORD>(sqlite3_column_int64(select, 0));
            const auto* bytes = static_cast<const BYTE*>(sqlite3_column_blob(select, 1));
            data.assign(bytes, bytes + sqlite3_column_bytes(select, 1));
            return SQLITE_OK;
        });
        if (result != ERROR_SUCCESS) return result;
        return found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    }

    LONG Set(const std::string& key, const std::string& name, DWORD type, const BYTE* data,
             DWORD size) {
        return Retrying([&]() -> int {
            return InTransaction([&]() -> int {
                // A fresh database after damage may have lost the key: write it again.
                int rc = InsertKeyChain(key);
                if (rc != SQLITE_OK) return rc;
                sqlite3_stmt* upsert = upsertValue_.Use();
                sqlite3_bind_text(upsert, 1, key.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(upsert, 2, name.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(upsert, 3, type);
                sqlite3_bind_blob(upsert, 4, size != 0 ? data : reinterpret_cast<const BYTE*>(""),
                                  static_cast<int>(size), SQLITE_TRANSIENT);
                rc = sqlite3_step(upsert);
                return rc == SQLITE_DONE ? SQLITE_OK : rc;
            });
        });
    }

private:
    // Foreign: a sound database of another program, moved aside without taking anything.
    enum class Outcome { Ready, Damaged, Foreign, Failed };

    ~Store() { Close(); }

    // Runs `operation` on an open database; after damage it starts a fresh database and runs
    // it once more, so that a damaged file never refuses a save.
    template <typename Operation>
    LONG Retrying(Operation operation) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (!Open()) return ERROR_ACCESS_DENIED;
            const int rc = operation();
            if (rc == SQLITE_OK) return ERROR_SUCCESS;
            Remember(rc, "operation");
            if (!IsDamage(rc)) return ERROR_ACCESS_DENIED;
            StartAfresh();
        }
        return ERROR_ACCESS_DENIED;
    }

    // A damaged database is kept aside and replaced by a fresh one that gets every value
    // that could still be read from it.
    void StartAfresh() {
        salvaged_ = Salvage();
        Close();
        MoveAside();
    }

    std::vector<SalvagedValue> Salvage() {
        std::vector<SalvagedValue> values;
        sqlite3_stmt* scan = nullptr;
        if (sqlite3_prepare_v2(db_, "SELECT key, name, type, data FROM registry_values", -1, &scan,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(scan) == SQLITE_ROW) {
                const auto* key = sqlite3_column_text(scan, 0);
                const auto* name = sqlite3_column_text(scan, 1);
                const auto* bytes = static_cast<const BYTE*>(sqlite3_column_blob(scan, 3));
                if (key == nullptr || name == nullptr) continue;
                values.push_back({reinterpret_cast<const char*>(key),
                                  reinterpret_cast<const char*>(name),
                                  static_cast<DWORD>(sqlite3_column_int64(scan, 2)),
                                  std::vector<BYTE>(bytes, bytes + sqlite3_column_bytes(scan, 3))});
            }
        }
        sqlite3_finalize(scan);
        return values;
    }

    void RestoreSalvaged() {
        std::vector<SalvagedValue> values;
        values.swap(salvaged_);
        if (values.empty()) return;
        InTransaction([&]() -> int {
            for (const SalvagedValue& value : values) {
                if (InsertKeyChain(value.key) != SQLITE_OK) continue;
                sqlite3_stmt* upsert = upsertValue_.Use();
                sqlite3_bind_text(upsert, 1, value.key.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(upsert, 2, value.name.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int64(upsert, 3, value.type);
                sqlite3_bind_blob(upsert, 4, value.data.data(), static_cast<int>(value.data.size()),
                                  SQLITE_TRANSIENT);
                sqlite3_step(upsert);
            }
            return SQLITE_OK;
        });
    }

    template <typename Body>
    int InTransaction(Body body) {
        int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return rc;
        rc = body();
        if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return rc;
    }

    int InsertKeyChain(const std::string& path) {
        for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
            sqlite3_stmt* insert = insertKey_.Use();
            const std::string prefix = path.substr(0, end);
            sqlite3_bind_text(insert, 1, prefix.c_str(), -1, SQLITE_TRANSIENT);
            const int rc = sqlite3_step(insert);
            if (rc != SQLITE_DONE) return rc;
            if (end == std::string::npos) return SQLITE_OK;
        }
    }

    bool Open() {
        if (db_ != nullptr) return true;
        path_ = overridePath_.empty() ? DefaultPath() : overridePath_;
        const std::size_t slash = path_.rfind('/');
        if (path_.empty() || slash == std::string::npos ||
            (slash > 0 && !MakeDirectories(path_.substr(0, slash)))) {
            lastError_ = "no folder for " + path_ + ": " + std::strerror(errno);
            return false;
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
            const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
            const int rc = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
            if (rc != SQLITE_OK) {
                Remember(rc, "open");
                Close();
                return false;
            }
            const Outcome outcome = Initialise();
            if (outcome == Outcome::Ready) {
                RestoreSalvaged();
                return true;
            }
            if (outcome == Outcome::Failed) {
                Close();
                return false;
            }
            if (outcome == Outcome::Foreign) {
                Close();
                MoveAside();
            } else {
                StartAfresh();
            }
        }
        return false;
    }

    // While a database is being opened, only the surroundings (a folder that cannot be
    // written, a full disk, a lock held elsewhere) excuse a failure; anything else is the
    // file's fault (damage, an unsupported format), and the file is replaced.
    Outcome Classify(int rc) {
        Remember(rc, "opening");
        switch (rc & 0xFF) {
            case SQLITE_CANTOPEN:
            case SQLITE_READONLY:
            case SQLITE_IOERR:
            case SQLITE_PERM:
            case SQLITE_AUTH:
            case SQLITE_BUSY:
            case SQLITE_LOCKED:
            case SQLITE_FULL:
            case SQLITE_NOMEM:
            case SQLITE_NOLFS:
            case SQLITE_INTERRUPT: return Outcome::Failed;
            default: return Outcome::Damaged;
        }
    }

    // Kept for tests and debugging: why the store last failed.
    void Remember(int rc, const char* during) {
        lastError_ = std::string(during) + " " + path_ + ": " + sqlite3_errstr(rc);
        if (db_ != nullptr) lastError_ += std::string(" (") + sqlite3_errmsg(db_) + ")";
    }

    Outcome Initialise() {
        sqlite3_busy_timeout(db_, 2000);
        int rc = sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) return Classify(rc);

        // The full check, not quick_check: rows out of key order pass the quick one, and
        // lookups then miss values that are there. It can succeed while reporting damage in
        // its rows: only "ok" is healthy. The database is a few pages, so it costs little.
        sqlite3_stmt* check = nullptr;
        rc = sqlite3_prepare_v2(db_, "PRAGMA integrity_check", -1, &check, nullptr);
        if (rc != SQLITE_OK) return Classify(rc);
        std::string verdict;
        int rows = 0;
        while ((rc = sqlite3_step(check)) == SQLITE_ROW) {
            ++rows;
            const auto* text = sqlite3_column_text(check, 0);
            verdict = text != nullptr ? reinterpret_cast<const char*>(text) : "";
        }
        sqlite3_finalize(check);
        if (rc != SQLITE_DONE) return Classify(rc);
        if (rows != 1 || verdict != "ok") return Outcome::Damaged;

        int applicationId = 0;
        int tables = 0;
        int ourTables = 0;
        rc = QueryInt("PRAGMA application_id", applicationId);
        if (rc == SQLITE_OK)
            rc = QueryInt("SELECT count(*) FROM sqlite_master WHERE type = 'table'", tables);
        if (rc == SQLITE_OK) {
            rc = QueryInt(
                "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                "name IN ('keys', 'registry_values')",
                ourTables);
        }
        if (rc != SQLITE_OK) return Classify(rc);
        // Another program's database is not ours to write into, nor to take values from.
        if (applicationId != kApplicationId && tables != 0) return Outcome::Foreign;
        if (applicationId != kApplicationId || ourTables != 2) {
            // One transaction, so a process killed half-way never leaves a database that is
            // marked as ours but lacks its tables.
            rc = sqlite3_exec(db_,
                              "BEGIN IMMEDIATE;"
                              "PRAGMA application_id=1128811341;"
                              "PRAGMA user_version=1;"
                              "CREATE TABLE IF NOT EXISTS keys("
                              "  path TEXT PRIMARY KEY COLLATE NOCASE) WITHOUT ROWID;"
                              "CREATE TABLE IF NOT EXISTS registry_values("
                              "  key TEXT COLLATE NOCASE, name TEXT COLLATE NOCASE,"
                              "  type INTEGER, data BLOB, PRIMARY KEY(key, name)) WITHOUT ROWID;"
                              "COMMIT;",
                              nullptr, nullptr, nullptr);
            if (rc != SQLITE_OK) {
                sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
                return Classify(rc);
            }
        }
        rc = sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK) rc = findKey_.Prepare(db_, "SELECT 1 FROM keys WHERE path = ?1");
        if (rc == SQLITE_OK) {
            rc = insertKey_.Prepare(db_, "INSERT OR IGNORE INTO keys(path) VALUES (?1)");
        }
        if (rc == SQLITE_OK) {
            rc = selectValue_.Prepare(
                db_, "SELECT type, data FROM registry_values WHERE key = ?1 AND name = ?2");
        }
        if (rc == SQLITE_OK) {
            rc = upsertValue_.Prepare(db_,
                                      "INSERT OR REPLACE INTO registry_values(key, name, type, "
                                      "data) VALUES (?1, ?2, ?3, ?4)");
        }
        return rc == SQLITE_OK ? Outcome::Ready : Classify(rc);
    }

    int QueryInt(const char* sql, int& value) {
        sqlite3_stmt* statement = nullptr;
        int rc = sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(statement);
            if (rc == SQLITE_ROW) {
                value = sqlite3_column_int(statement, 0);
                rc = SQLITE_OK;
            }
        }
        sqlite3_finalize(statement);
        return rc;
    }

    void Close() {
        findKey_.Prepare(nullptr, nullptr);
        insertKey_.Prepare(nullptr, nullptr);
        selectValue_.Prepare(nullptr, nullptr);
        upsertValue_.Prepare(nullptr, nullptr);
        if (db_ != nullptr) sqlite3_close_v2(db_);
        db_ = nullptr;
    }

    // Keeps the unreadable file (and its journal files) for inspection under a new name.
    void MoveAside() {
        char stamp[32];
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
        std::string target = path_ + ".damaged-" + stamp;
        for (int n = 2; FileExists(target); ++n) {
            target = path_ + ".damaged-" + stamp + "-" + std::to_string(n);
        }
        std::rename(path_.c_str(), target.c_str());
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            std::rename((path_ + suffix).c_str(), (target + suffix).c_str());
        }
    }

    sqlite3* db_ = nullptr;
    std::string path_;
    std::string lastError_;
    std::vector<SalvagedValue> salvaged_;  // read from a damaged database, for the fresh one
    std::string overridePath_;
    Statement findKey_;
    Statement insertKey_;
    Statement selectValue_;
    Statement upsertValue_;
};

struct OpenKey {
    std::string path;
};

std::unordered_set<OpenKey*>& OpenKeys() {
    static std::unordered_set<OpenKey*> keys;
    return keys;
}

// The path of a predefined or open key; empty for a bad handle.
std::string KeyPath(HKEY key) {
    if (key == HKEY_CURRENT_USER) return kRoot;
    auto* open = reinterpret_cast<OpenKey*>(key);
    return OpenKeys().count(open) != 0 ? open->path : std::string();
}

std::string ValueName(LPCWSTR name) { return name != nullptr ? Utf8FromWide(name) : std::string(); }

}  // namespace

}  // namespace platform

using namespace platform;

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, SECURITY_ATTRIBUTES*,
                     PHKEY result, LPDWORD disposition) {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    // Empty components (doubled or trailing backslashes) are skipped.
    std::string part;
    for (const char c : (subKey != nullptr ? Utf8FromWide(subKey) : std::string()) + "\\") {
        if (c != '\\') {
            part += c;
        } else if (!part.empty()) {
            path += "\\" + part;
            part.clear();
        }
    }
    bool created = false;
    const LONG status = Store::Instance().EnsureKey(path, created);
    if (status != ERROR_SUCCESS) return status;
    auto* open = new OpenKey{path};
    OpenKeys().insert(open);
    *result = reinterpret_cast<HKEY>(open);
    if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                      LPDWORD dataSize) {
    const std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    if (data != nullptr && dataSize == nullptr) return ERROR_INVALID_PARAMETER;
    DWORD storedType = REG_NONE;
    std::vector<BYTE> stored;
    const LONG status = Store::Instance().Query(path, ValueName(valueName), storedType, stored);
    if (status != ERROR_SUCCESS) return status;
    if (type != nullptr) *type = storedType;
    const auto size = static_cast<DWORD>(stored.size());
    if (data != nullptr && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && size != 0) std::memcpy(data, stored.data(), size);
    if (dataSize != nullptr) *dataSize = size;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data,
                    DWORD dataSize) {
    const std::string path = KeyPath(key);
    if (path.empty()) return ERROR_INVALID_HANDLE;
    if ((data == nullptr && dataSize != 0) || dataSize > kMaxValueSize) {
        return ERROR_INVALID_PARAMETER;
    }
    return Store::Instance().Set(path, ValueName(valueName), type, data, dataSize);
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    auto* open = reinterpret_cast<OpenKey*>(key);
    if (OpenKeys().erase(open) == 0) return ERROR_INVALID_HANDLE;
    delete open;
    return ERROR_SUCCESS;
}

namespace platform::testing {

void SetRegistryPath(const std::string& path) { Store::Instance().SetPath(path); }

std::string RegistryLastError() { return Store::Instance().LastError(); }

}  // namespace platform::testing
