// On-disk format (application_id 0x43484B4D "CHKM", user_version 1):
//   keys(path TEXT PRIMARY KEY COLLATE NOCASE) WITHOUT ROWID
//     every key that exists, as "HKEY_CURRENT_USER\Software\…", parents included, in the case
//     it was first written with (a deleted key's row goes with its values)
//   registry_values(key TEXT COLLATE NOCASE, name TEXT COLLATE NOCASE, type INTEGER,
//                   data BLOB, PRIMARY KEY(key, name)) WITHOUT ROWID
//     each value's Win32 type and its bytes exactly as written
// The journal is a WAL with synchronous=FULL: every value write and key deletion is one
// transaction that has reached the disk when the call returns, and a killed process or a power
// cut never leaves the file unreadable. A file that is not our database (garbage, damage,
// another program's database) is moved aside as registry.db.damaged-<time> and a fresh one
// started, which gets every value that could still be read from the damaged one.
#include "platform/desktop/sqlite_store.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace platform {
namespace {

constexpr int kApplicationId = 0x43484B4D;
// How long the first call waits for a lock held elsewhere: start-up waits this long at most.
constexpr int kLockWaitMs = 2000;

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

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.c_str(), -1, SQLITE_TRANSIENT);
}

}  // namespace

SqliteStore::Statement::~Statement() { sqlite3_finalize(statement_); }

int SqliteStore::Statement::Prepare(sqlite3* db, const char* sql) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    return db != nullptr ? sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) : SQLITE_OK;
}

SqliteStore::Running SqliteStore::Statement::Use() { return Running(statement_); }

SqliteStore::Running::~Running() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

SqliteStore::~SqliteStore() { Close(); }

StoreResult SqliteStore::CreateKey(const std::string& path, bool& created) {
    return Retrying([&]() -> int {
        const Running find = findKey_.Use();
        BindText(find, 1, path);
        const int rc = sqlite3_step(find);
        if (rc == SQLITE_ROW) {
            created = false;
            knownKeys_.insert(path);
            return SQLITE_OK;
        }
        if (rc != SQLITE_DONE) return rc;
        created = true;
        return InTransaction([&] { return InsertKeyChain(path); });
    });
}

StoreResult SqliteStore::Get(const std::string& key, const std::string& name, DWORD& type,
                             std::vector<BYTE>& data) {
    bool found = false;
    const StoreResult result = Retrying([&]() -> int {
        const Running select = selectValue_.Use();
        BindText(select, 1, key);
        BindText(select, 2, name);
        const int rc = sqlite3_step(select);
        if (rc == SQLITE_DONE) return SQLITE_OK;
        if (rc != SQLITE_ROW) return rc;
        found = true;
        type = static_cast<DWORD>(sqlite3_column_int64(select, 0));
        const auto* bytes = static_cast<const BYTE*>(sqlite3_column_blob(select, 1));
        data.assign(bytes, bytes + sqlite3_column_bytes(select, 1));
        return SQLITE_OK;
    });
    if (result != StoreResult::Done) return result;
    return found ? StoreResult::Done : StoreResult::Absent;
}

StoreResult SqliteStore::Set(const std::string& key, const std::string& name, DWORD type,
                             const BYTE* data, std::size_t size) {
    return Retrying([&]() -> int {
        return InTransaction([&]() -> int {
            // A fresh database after damage may have lost the key: it is written once again.
            if (knownKeys_.count(key) == 0) {
                const int rc = InsertKeyChain(key);
                if (rc != SQLITE_OK) return rc;
            }
            return Upsert(key, name, type, data, size);
        });
    });
}

StoreResult SqliteStore::OpenKey(const std::string& path) {
    bool found = false;
    const StoreResult result = Retrying([&]() -> int {
        const Running find = findKey_.Use();
        BindText(find, 1, path);
        const int rc = sqlite3_step(find);
        if (rc == SQLITE_DONE) return SQLITE_OK;
        if (rc != SQLITE_ROW) return rc;
        found = true;
        knownKeys_.insert(path);
        return SQLITE_OK;
    });
    if (result != StoreResult::Done) return result;
    return found ? StoreResult::Done : StoreResult::Absent;
}

StoreResult SqliteStore::ListSubkeys(const std::string& path, std::vector<std::string>& names) {
    return Retrying([&]() -> int {
        names.clear();
        const Running list = listSubkeys_.Use();
        BindText(list, 1, path);
        int rc;
        while ((rc = sqlite3_step(list)) == SQLITE_ROW) {
            const auto* name = sqlite3_column_text(list, 0);
            if (name != nullptr) names.emplace_back(reinterpret_cast<const char*>(name));
        }
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    });
}

// The key's row and its values go in one transaction: no value outlives its key, to come back
// when a key of the same name is made again.
StoreResult SqliteStore::DeleteKey(const std::string& path) {
    bool found = false;
    const StoreResult result = Retrying([&]() -> int {
        return InTransaction([&]() -> int {
            const Running removeKey = deleteKey_.Use();
            BindText(removeKey, 1, path);
            int rc = sqlite3_step(removeKey);
            if (rc != SQLITE_DONE) return rc;
            found = sqlite3_changes(db_) != 0;
            const Running removeValues = deleteValues_.Use();
            BindText(removeValues, 1, path);
            rc = sqlite3_step(removeValues);
            return rc == SQLITE_DONE ? SQLITE_OK : rc;
        });
    });
    // A write through a handle still open must insert the key again, not leave a value without it.
    knownKeys_.clear();
    if (result != StoreResult::Done) return result;
    return found ? StoreResult::Done : StoreResult::Absent;
}

// Runs `operation` on an open database; after damage it starts a fresh database and runs it
// once more, so that a damaged file never refuses a save.
template <typename Operation>
StoreResult SqliteStore::Retrying(Operation operation) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!Open()) return StoreResult::Unavailable;
        const int rc = operation();
        if (rc == SQLITE_OK) {
            WaitForLocks(true);
            return StoreResult::Done;
        }
        Remember(rc, "operation");
        if (!IsDamage(rc)) {
            ReportFailure(rc);
            return StoreResult::Unavailable;
        }
        StartAfresh();
    }
    return StoreResult::Unavailable;
}

template <typename Body>
int SqliteStore::InTransaction(Body body) {
    int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
    rc = body();
    if (rc == SQLITE_OK) rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        // What the rolled-back transaction inserted is not there after all.
        knownKeys_.clear();
    }
    return rc;
}

int SqliteStore::InsertKeyChain(const std::string& path) {
    for (std::size_t end = path.find('\\');; end = path.find('\\', end + 1)) {
        const Running insert = insertKey_.Use();
        BindText(insert, 1, path.substr(0, end));
        const int rc = sqlite3_step(insert);
        if (rc != SQLITE_DONE) return rc;
        if (end == std::string::npos) break;
    }
    knownKeys_.insert(path);
    return SQLITE_OK;
}

int SqliteStore::Upsert(const std::string& key, const std::string& name, DWORD type,
                        const BYTE* data, std::size_t size) {
    const Running upsert = upsertValue_.Use();
    BindText(upsert, 1, key);
    BindText(upsert, 2, name);
    sqlite3_bind_int64(upsert, 3, type);
    // A null blob would read back as no value at all; an empty one is an empty value.
    sqlite3_bind_blob(upsert, 4, size != 0 ? data : reinterpret_cast<const BYTE*>(""),
                      static_cast<int>(size), SQLITE_TRANSIENT);
    const int rc = sqlite3_step(upsert);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

bool SqliteStore::Open() {
    if (db_ != nullptr) return true;
    const std::size_t slash = path_.rfind('/');
    if (path_.empty() || slash == std::string::npos) {
        lastError_ = "no folder for saved progress";
        Report(Problem::NoFolder, "neither XDG_DATA_HOME nor HOME names a folder");
        return false;
    }
    if (slash > 0 && !MakeDirectories(path_.substr(0, slash))) {
        lastError_ = "no folder for " + path_ + ": " + std::strerror(errno);
        Report(Problem::NoFolder, std::string("cannot make its folder: ") + std::strerror(errno));
        return false;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
        const int rc = sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr);
        if (rc != SQLITE_OK) {
            Remember(rc, "open");
            ReportFailure(rc);
            Close();
            return false;
        }
        switch (Initialise()) {
            case Outcome::Ready: RestoreSalvaged(); return true;
            case Outcome::Failed: Close(); return false;
            case Outcome::Foreign:
                Close();
                MoveAside();
                break;
            case Outcome::Damaged: StartAfresh(); break;
        }
    }
    return false;
}

SqliteStore::Outcome SqliteStore::Initialise() {
    sqlite3_busy_timeout(db_, waitForLocks_ ? kLockWaitMs : 0);
    int rc = sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    // Checkpoints every 64 pages, and the log file cut back to 256 KiB after each: a
    // session of thousands of saves keeps the files small.
    if (rc == SQLITE_OK) {
        rc = sqlite3_exec(db_, "PRAGMA wal_autocheckpoint=64; PRAGMA journal_size_limit=262144",
                          nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) return Classify(rc);
    Outcome outcome = CheckIntegrity();
    if (outcome != Outcome::Ready) return outcome;
    bool needsTables = false;
    outcome = CheckOwnership(needsTables);
    if (outcome != Outcome::Ready) return outcome;
    if (needsTables && (rc = CreateTables()) != SQLITE_OK) return Classify(rc);
    rc = sqlite3_exec(db_, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK) rc = PrepareStatements();
    return rc == SQLITE_OK ? Outcome::Ready : Classify(rc);
}

// The full check, not quick_check: rows out of key order pass the quick one, and lookups
// then miss values that are there. It can succeed while reporting damage in its rows: only
// "ok" is healthy. The database is a few pages, so it costs little.
SqliteStore::Outcome SqliteStore::CheckIntegrity() {
    sqlite3_stmt* check = nullptr;
    int rc = sqlite3_prepare_v2(db_, "PRAGMA integrity_check", -1, &check, nullptr);
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
    return rows == 1 && verdict == "ok" ? Outcome::Ready : Outcome::Damaged;
}

// Ours, empty (a new file), or another program's, which is not ours to write into nor to
// take values from.
SqliteStore::Outcome SqliteStore::CheckOwnership(bool& needsTables) {
    int applicationId = 0;
    int tables = 0;
    int ourTables = 0;
    int rc = QueryInt("PRAGMA application_id", applicationId);
    if (rc == SQLITE_OK) {
        rc = QueryInt("SELECT count(*) FROM sqlite_master WHERE type = 'table'", tables);
    }
    if (rc == SQLITE_OK) {
        rc = QueryInt(
            "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
            "name IN ('keys', 'registry_values')",
            ourTables);
    }
    if (rc != SQLITE_OK) return Classify(rc);
    if (applicationId != kApplicationId && tables != 0) return Outcome::Foreign;
    needsTables = applicationId != kApplicationId || ourTables != 2;
    return Outcome::Ready;
}

// One transaction, so a process killed half-way never leaves a database that is marked as
// ours but lacks its tables.
int SqliteStore::CreateTables() {
    const int rc = sqlite3_exec(db_,
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
    if (rc != SQLITE_OK) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return rc;
}

int SqliteStore::PrepareStatements() {
    int rc = findKey_.Prepare(db_, "SELECT 1 FROM keys WHERE path = ?1");
    if (rc == SQLITE_OK)
        rc = insertKey_.Prepare(db_, "INSERT OR IGNORE INTO keys(path) VALUES (?1)");
    if (rc == SQLITE_OK) {
        rc = selectValue_.Prepare(
            db_, "SELECT type, data FROM registry_values WHERE key = ?1 AND name = ?2");
    }
    if (rc == SQLITE_OK) {
        rc = upsertValue_.Prepare(
            db_,
            "INSERT OR REPLACE INTO registry_values(key, name, type, data) VALUES (?1, ?2, "
            "?3, ?4)");
    }
    // The direct subkeys: paths just past the key's own under its collation, without a further
    // backslash.
    if (rc == SQLITE_OK) {
        rc = listSubkeys_.Prepare(
            db_,
            "SELECT substr(path, length(?1) + 2) FROM keys WHERE path > ?1 || '\\' AND "
            "path < ?1 || ']' AND instr(substr(path, length(?1) + 2), '\\') = 0 ORDER BY path");
    }
    if (rc == SQLITE_OK) rc = deleteKey_.Prepare(db_, "DELETE FROM keys WHERE path = ?1");
    if (rc == SQLITE_OK) {
        rc = deleteValues_.Prepare(db_, "DELETE FROM registry_values WHERE key = ?1");
    }
    return rc;
}

// While a database is being opened, only the surroundings (a folder that cannot be written,
// a full disk, a lock held elsewhere) excuse a failure; anything else is the file's fault
// (damage, an unsupported format), and the file is replaced.
SqliteStore::Outcome SqliteStore::Classify(int rc) {
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
        case SQLITE_INTERRUPT: ReportFailure(rc); return Outcome::Failed;
        default: return Outcome::Damaged;
    }
}

void SqliteStore::ReportFailure(int rc) {
    const int code = rc & 0xFF;
    // The system's reason says more than SQLite's (a folder or a dangling link in the way).
    const int error = db_ != nullptr ? sqlite3_system_errno(db_) : 0;
    const std::string reason = error != 0 ? std::strerror(error) : sqlite3_errstr(rc);
    if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
        WaitForLocks(false);
        Report(Problem::Locked, "another program holds a lock on it");
    } else if (code == SQLITE_FULL || error == ENOSPC) {
        Report(Problem::DiskFull, "the disk is full");
    } else if (code == SQLITE_READONLY || code == SQLITE_PERM || code == SQLITE_AUTH ||
               error == EACCES || error == EROFS) {
        Report(Problem::NotWritable, reason);
    } else {
        Report(Problem::Unreadable, reason);
    }
}

void SqliteStore::Report(Problem problem, const std::string& reason) {
    if (!reported_.insert(problem).second) return;
    if (path_.empty()) {
        std::fprintf(stderr, "chalkmere: cannot save progress: %s\n", reason.c_str());
    } else {
        std::fprintf(stderr, "chalkmere: cannot save progress in %s: %s\n", path_.c_str(),
                     reason.c_str());
    }
}

void SqliteStore::WaitForLocks(bool wait) {
    if (wait == waitForLocks_) return;
    waitForLocks_ = wait;
    if (db_ != nullptr) sqlite3_busy_timeout(db_, wait ? kLockWaitMs : 0);
}

void SqliteStore::Remember(int rc, const char* during) {
    lastError_ = std::string(during) + " " + path_ + ": " + sqlite3_errstr(rc);
    if (db_ != nullptr) lastError_ += std::string(" (") + sqlite3_errmsg(db_) + ")";
}

int SqliteStore::QueryInt(const char* sql, int& value) {
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

// A damaged database is kept aside and replaced by a fresh one that gets every value that
// could still be read from it.
void SqliteStore::StartAfresh() {
    salvaged_ = Salvage();
    Close();
    MoveAside();
}

std::vector<SqliteStore::SalvagedValue> SqliteStore::Salvage() {
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

void SqliteStore::RestoreSalvaged() {
    std::vector<SalvagedValue> values;
    values.swap(salvaged_);
    if (values.empty()) return;
    InTransaction([&]() -> int {
        for (const SalvagedValue& value : values) {
            if (knownKeys_.count(value.key) == 0 && InsertKeyChain(value.key) != SQLITE_OK) {
                continue;
            }
            Upsert(value.key, value.name, value.type, value.data.data(), value.data.size());
        }
        return SQLITE_OK;
    });
}

// Keeps the unreadable file (and its journal files) for inspection under a new name.
void SqliteStore::MoveAside() {
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
    std::fprintf(stderr, "chalkmere: %s could not be read as saved progress; it is kept as %s\n",
                 path_.c_str(), target.c_str());
}

void SqliteStore::Close() {
    findKey_.Prepare(nullptr, nullptr);
    insertKey_.Prepare(nullptr, nullptr);
    selectValue_.Prepare(nullptr, nullptr);
    upsertValue_.Prepare(nullptr, nullptr);
    listSubkeys_.Prepare(nullptr, nullptr);
    deleteKey_.Prepare(nullptr, nullptr);
    deleteValues_.Prepare(nullptr, nullptr);
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = nullptr;
    knownKeys_.clear();
}

}  // namespace platform
