#include "app/SettingsStore.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/AppPaths.h"

namespace fs = std::filesystem;

namespace almanary {

namespace {

// Concurrent writers (other copies, share-server threads) wait this long for
// the lock rather than failing.
constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS settings ("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL COLLATE NOCASE UNIQUE,"
    " type INTEGER NOT NULL,"
    " data BLOB)";

// Owns one prepared statement; a failed preparation leaves it empty and
// remembers the reason.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        rc_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int rc() const { return rc_; }
    bool ok() const { return rc_ == SQLITE_OK; }
    sqlite3_stmt* get() const { return stmt_; }

    bool bindText(int index, std::string_view text) {
        rc_ = sqlite3_bind_text64(stmt_, index, text.empty() ? "" : text.data(), text.size(),
                                  SQLITE_TRANSIENT, SQLITE_UTF8);
        return ok();
    }
    bool bindBlob(int index, std::string_view bytes) {
        rc_ = sqlite3_bind_blob64(stmt_, index, bytes.empty() ? "" : bytes.data(), bytes.size(),
                                  SQLITE_TRANSIENT);
        return ok();
    }
    bool bindInt(int index, std::int64_t value) {
        rc_ = sqlite3_bind_int64(stmt_, index, value);
        return ok();
    }
    // SQLITE_ROW, SQLITE_DONE or an error code (kept in rc()).
    int step() {
        int rc = sqlite3_step(stmt_);
        rc_ = (rc == SQLITE_ROW || rc == SQLITE_DONE) ? SQLITE_OK : rc;
        return rc;
    }

    std::string_view bytes(int column) const {
        const void* data = sqlite3_column_blob(stmt_, column);
        int size = sqlite3_column_bytes(stmt_, column);
        if (data == nullptr || size <= 0)
            return {};
        return {static_cast<const char*>(data), static_cast<std::size_t>(size)};
    }

private:
    sqlite3_stmt* stmt_ = nullptr;
    int rc_ = SQLITE_OK;
};

// A value name has at least one byte and no zero byte (the case-blind
// comparison would stop at one).
bool validName(std::string_view name) {
    return !name.empty() && name.find('\0') == std::string_view::npos;
}

// Creates the missing folders of `dir`, each readable by the owner only.
bool ensureFolder(const fs::path& dir) {
    if (dir.empty())
        return true;
    std::error_code error;
    fs::file_status status = fs::status(dir, error);
    if (fs::exists(status))
        return fs::is_directory(status);
    if (dir.has_parent_path() && dir.parent_path() != dir && !ensureFolder(dir.parent_path())) {
        return false;
    }
    if (::mkdir(dir.c_str(), 0700) == 0)
        return true;
    return errno == EEXIST && fs::is_directory(dir, error);
}

// Creates the store file readable by the owner only before SQLite opens it;
// SQLite gives its journal files the same mode. The empty file is made under
// a temporary name and linked into place, so no descriptor is ever opened and
// closed on the store itself: closing one would drop the locks that another
// connection of this process holds on it.
void createPrivateFile(const std::string& path) {
    std::string temporary = path + ".new-XXXXXX";
    int fd = ::mkstemp(temporary.data());  // mode 0600
    if (fd < 0)
        return;
    ::close(fd);
    (void)::link(temporary.c_str(), path.c_str());  // fails harmlessly when it exists
    ::unlink(temporary.c_str());
}

// SQLITE_OK when the file holds no tables yet or holds the store's table.
// Tables are only ever added, so counting first and then looking for ours
// cannot mistake a store another connection is creating for a foreign file.
int checkOwnership(sqlite3* db) {
    {
        Statement tables(db, "SELECT count(*) FROM sqlite_master");
        if (!tables.ok())
            return tables.rc();
        if (tables.step() != SQLITE_ROW)
            return tables.rc();
        if (sqlite3_column_int64(tables.get(), 0) == 0)
            return SQLITE_OK;
    }
    Statement columns(db, "SELECT id, name, type, data FROM settings LIMIT 0");
    // Another program's database is left as it is.
    return columns.ok() ? SQLITE_OK : SQLITE_NOTADB;
}

// Reads the whole file once: SQLITE_OK when it is a sound database.
int checkIntegrity(sqlite3* db) {
    Statement check(db, "PRAGMA quick_check(1)");
    if (!check.ok())
        return check.rc();
    if (check.step() != SQLITE_ROW)
        return check.ok() ? SQLITE_CORRUPT : check.rc();
    return check.bytes(0) == "ok" ? SQLITE_OK : SQLITE_CORRUPT;
}

// Switches the file to write-ahead logging, which lets readers go on while
// another connection writes. The switch upgrades a read lock to a write lock,
// and SQLite reports a clash there at once instead of waiting; so while
// several copies create the store together, wait here as the busy timeout
// would.
int useWriteAheadLog(sqlite3* db) {
    constexpr int kPauseMs = 5;
    int rc = SQLITE_BUSY;
    for (int waited = 0; rc == SQLITE_BUSY && waited <= kBusyTimeoutMs; waited += kPauseMs) {
        rc = sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_BUSY)
            sqlite3_sleep(kPauseMs);
    }
    return rc;
}

// Checks the file and sets the connection up; SQLITE_OK when the store can
// be used. Nothing is written before the file is known to be a sound store.
int prepareConnection(sqlite3* db) {
    int rc = sqlite3_busy_timeout(db, kBusyTimeoutMs);
    if (rc == SQLITE_OK)
        rc = checkIntegrity(db);
    if (rc == SQLITE_OK)
        rc = checkOwnership(db);
    if (rc == SQLITE_OK)
        rc = useWriteAheadLog(db);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    return rc;
}

}  // namespace

SettingsStore::~SettingsStore() {
    close();
}

bool SettingsStore::open() {
    return open(AppPaths::settingsPath());
}

bool SettingsStore::open(const std::string& path) {
    close();
    if (path.empty() || path.find('\0') != std::string::npos)
        return fail(SQLITE_CANTOPEN);
    try {
        if (!ensureFolder(fs::path(path).parent_path()))
            return fail(SQLITE_CANTOPEN);
    } catch (const std::exception&) {
        return fail(SQLITE_CANTOPEN);
    }
    createPrivateFile(path);

    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = prepareConnection(db);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);  // accepts a null handle
        return fail(rc);
    }
    db_ = db;
    lastError_ = SQLITE_OK;
    return true;
}

bool SettingsStore::close() {
    if (db_ == nullptr)
        return false;
    lastError_ = sqlite3_close_v2(db_);
    db_ = nullptr;
    return true;
}

namespace {

constexpr const char* kSelectValue = "SELECT type, data FROM settings WHERE name = ?1";

// Runs a value look-up: SQLITE_ROW with the query on the value's row, or the
// code to fail with.
int stepToValue(Statement& query, std::string_view name) {
    if (!query.ok() || !query.bindText(1, name))
        return query.rc();
    const int step = query.step();
    if (step == SQLITE_DONE)
        return SQLITE_NOTFOUND;
    return step == SQLITE_ROW ? SQLITE_ROW : query.rc();
}

// Looks up a value of the given type (0 number, 1 text): SQLITE_ROW with
// the query on its row, or the code to fail with.
int lookUpValue(Statement& query, std::string_view name, int type) {
    if (!validName(name))
        return SQLITE_MISUSE;
    if (const int found = stepToValue(query, name); found != SQLITE_ROW)
        return found;
    sqlite3_stmt* row = query.get();
    const int data = sqlite3_column_type(row, 1);
    const bool fits = type == 0 ? data == SQLITE_INTEGER
                                : data == SQLITE_BLOB || data == SQLITE_TEXT || data == SQLITE_NULL;
    return sqlite3_column_int(row, 0) == type && fits ? SQLITE_ROW : SQLITE_MISMATCH;
}

}  // namespace

bool SettingsStore::fail(int code) {
    lastError_ = code;
    return false;
}

std::optional<std::int32_t> SettingsStore::queryNumber(std::string_view name) {
    if (db_ == nullptr)
        return std::nullopt;
    Statement query(db_, kSelectValue);
    if (const int found = lookUpValue(query, name, static_cast<int>(ValueType::kNumber));
        found != SQLITE_ROW) {
        fail(found);
        return std::nullopt;
    }
    const std::int64_t stored = sqlite3_column_int64(query.get(), 1);
    if (stored < INT32_MIN || stored > INT32_MAX) {
        fail(SQLITE_MISMATCH);
        return std::nullopt;
    }
    lastError_ = SQLITE_OK;
    return static_cast<std::int32_t>(stored);
}

std::optional<std::string> SettingsStore::queryText(std::string_view name, std::size_t capacity) {
    if (db_ == nullptr)
        return std::nullopt;
    Statement query(db_, kSelectValue);
    if (const int found = lookUpValue(query, name, static_cast<int>(ValueType::kText));
        found != SQLITE_ROW) {
        fail(found);
        return std::nullopt;
    }
    const std::string_view bytes = query.bytes(1);
    // The capacity counts the terminating zero the text is read with.
    if (bytes.size() >= capacity) {
        fail(SQLITE_TOOBIG);
        return std::nullopt;
    }
    lastError_ = SQLITE_OK;
    return std::string(bytes);
}

bool SettingsStore::setNumber(std::string_view name, std::int32_t value) {
    return writeValue(name, ValueType::kNumber, value, {});
}

bool SettingsStore::setText(std::string_view name, std::string_view text) {
    return writeValue(name, ValueType::kText, 0, text);
}

bool SettingsStore::writeValue(std::string_view name, ValueType type, std::int64_t number,
                               std::string_view text) {
    if (db_ == nullptr)
        return false;
    if (!validName(name))
        return fail(SQLITE_MISUSE);
    // An existing value keeps its name's case and its place in the order.
    Statement write(db_,
                    "INSERT INTO settings (name, type, data) VALUES (?1, ?2, ?3)"
                    " ON CONFLICT (name) DO UPDATE SET type = excluded.type, data = excluded.data");
    if (!write.ok() || !write.bindText(1, name) || !write.bindInt(2, static_cast<int>(type))) {
        return fail(write.rc());
    }
    bool bound = type == ValueType::kNumber ? write.bindInt(3, number) : write.bindBlob(3, text);
    if (!bound)
        return fail(write.rc());
    if (write.step() != SQLITE_DONE)
        return fail(write.ok() ? SQLITE_ERROR : write.rc());
    lastError_ = SQLITE_OK;
    return true;
}

bool SettingsStore::deleteValue(std::string_view name) {
    if (db_ == nullptr)
        return false;
    if (!validName(name))
        return fail(SQLITE_MISUSE);
    Statement erase(db_, "DELETE FROM settings WHERE name = ?1");
    if (!erase.ok() || !erase.bindText(1, name))
        return fail(erase.rc());
    if (erase.step() != SQLITE_DONE)
        return fail(erase.ok() ? SQLITE_ERROR : erase.rc());
    if (sqlite3_changes(db_) == 0)
        return fail(SQLITE_NOTFOUND);
    lastError_ = SQLITE_OK;
    return true;
}

std::vector<SettingsStore::TextValue> SettingsStore::textValues() {
    std::vector<TextValue> values;
    if (db_ == nullptr)
        return values;
    Statement walk(db_, "SELECT name, data FROM settings WHERE type = 1 ORDER BY id");
    if (!walk.ok()) {
        fail(walk.rc());
        return values;
    }
    int step;
    while ((step = walk.step()) == SQLITE_ROW)
        values.push_back({std::string(walk.bytes(0)), std::string(walk.bytes(1))});
    if (step != SQLITE_DONE) {
        fail(walk.rc());
        return {};
    }
    lastError_ = SQLITE_OK;
    return values;
}

}  // namespace almanary
