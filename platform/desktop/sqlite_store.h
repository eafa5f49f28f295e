// The desktop's registry store: one SQLite database per user, normally
// $XDG_DATA_HOME/chalkmere/registry.db.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/core/registry_store.h"

struct sqlite3;
struct sqlite3_stmt;

namespace platform {

class SqliteStore : public RegistryStore {
public:
    // The database at `path`, opened (and its folder made) on first use; an empty path is a
    // store that is never available.
    explicit SqliteStore(std::string path) : path_(std::move(path)) {}
    ~SqliteStore() override;
    SqliteStore(const SqliteStore&) = delete;
    SqliteStore& operator=(const SqliteStore&) = delete;

    StoreResult CreateKey(const std::string& path, bool& created) override;
    StoreResult Get(const std::string& key, const std::string& name, DWORD& type,
                    std::vector<BYTE>& data) override;
    StoreResult Set(const std::string& key, const std::string& name, DWORD type, const BYTE* data,
                    std::size_t size) override;
    StoreResult OpenKey(const std::string& path) override;
    StoreResult ListSubkeys(const std::string& path, std::vector<std::string>& names) override;
    StoreResult DeleteKey(const std::string& path) override;

    // Why the store last failed, for diagnostics.
    const std::string& LastError() const { return lastError_; }

private:
    // A statement being stepped; reset when it goes out of scope, so that no read is ever
    // left open (an open read keeps SQLite from checkpointing: the log would grow all session).
    class Running {
    public:
        explicit Running(sqlite3_stmt* statement) : statement_(statement) {}
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
        operator sqlite3_stmt*() const { return statement_; }

    private:
        sqlite3_stmt* statement_;
    };

    class Statement {
    public:
        Statement() = default;
        ~Statement();
        Statement(const Statement&) = delete;
        Statement& operator=(const Statement&) = delete;
        int Prepare(sqlite3* db, const char* sql);
        Running Use();

    private:
        sqlite3_stmt* statement_ = nullptr;
    };

    // What went wrong, for the one line on stderr each kind gets.
    enum class Problem { NoFolder, Locked, DiskFull, NotWritable, Unreadable };

    struct SalvagedValue {
        std::string key;
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };

    // Foreign: another program's database, moved aside without taking anything.
    enum class Outcome { Ready, Damaged, Foreign, Failed };

    template <typename Operation>
    StoreResult Retrying(Operation operation);
    template <typename Body>
    int InTransaction(Body body);

    bool Open();
    Outcome Initialise();
    Outcome CheckIntegrity();
    Outcome CheckOwnership(bool& needsTables);
    int CreateTables();
    int PrepareStatements();
    Outcome Classify(int rc);
    void Remember(int rc, const char* during);
    // Says on stderr, once per kind, what keeps progress from being saved.
    void Report(Problem problem, const std::string& reason);
    void ReportFailure(int rc);
    void WaitForLocks(bool wait);
    int QueryInt(const char* sql, int& value);
    int InsertKeyChain(const std::string& path);
    int Upsert(const std::string& key, const std::string& name, DWORD type, const BYTE* data,
               std::size_t size);
    void StartAfresh();
    std::vector<SalvagedValue> Salvage();
    void RestoreSalvaged();
    void MoveAside();
    void Close();

    std::string path_;
    sqlite3* db_ = nullptr;
    std::string lastError_;
    std::set<Problem> reported_;
    // A lock is waited for (up to 2 s) until one has made a call fail; until a call succeeds
    // again calls fail at once, so a lock held elsewhere never freezes the game on each tap.
    bool waitForLocks_ = true;
    std::vector<SalvagedValue> salvaged_;  // read from a damaged database, for the fresh one
    // Keys known to be in the open database, so a value's write need not insert its key.
    std::set<std::string> knownKeys_;
    Statement findKey_;
    Statement insertKey_;
    Statement selectValue_;
    Statement upsertValue_;
    Statement listSubkeys_;
    Statement deleteKey_;
    Statement deleteValues_;
};

}  // namespace platform
