// The machine root and its store. One SQLite connection per process, guarded by one
// recursive mutex: port calls are short, and the wizard's workers call the ports at once.
#include "platform/linux/machine_store.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <unordered_map>

#include <cctype>
#include <chrono>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/debug.h"
#include "platform/linux/utf16.h"
#include "platform/machine.h"

namespace fs = std::filesystem;

namespace platform::machine {

namespace {

// "CVM1": marks a store as ours, so a foreign SQLite file is never taken over.
constexpr int kApplicationId = 0x43564D31;
constexpr int kSchemaVersion = 3;
constexpr int kBusyTimeoutMs = 10000;

const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS system_info(name TEXT PRIMARY KEY COLLATE NOCASE, value TEXT);
CREATE TABLE IF NOT EXISTS reg_keys(hive INTEGER NOT NULL, path TEXT NOT NULL COLLATE WINCASE,
  parent TEXT NOT NULL COLLATE WINCASE, name TEXT NOT NULL, PRIMARY KEY(hive, path));
CREATE INDEX IF NOT EXISTS reg_keys_parent ON reg_keys(hive, parent);
CREATE TABLE IF NOT EXISTS reg_values(hive INTEGER NOT NULL, key TEXT NOT NULL COLLATE WINCASE,
  name TEXT NOT NULL COLLATE WINCASE, type INTEGER NOT NULL, data BLOB,
  PRIMARY KEY(hive, key, name));
CREATE TABLE IF NOT EXISTS products(id INTEGER PRIMARY KEY AUTOINCREMENT,
  code TEXT NOT NULL COLLATE NOCASE, context INTEGER NOT NULL, remove_command TEXT NOT NULL,
  UNIQUE(code, context));
CREATE TABLE IF NOT EXISTS product_properties(product INTEGER NOT NULL, name TEXT NOT NULL,
  value TEXT NOT NULL, PRIMARY KEY(product, name));
CREATE TABLE IF NOT EXISTS shell_events(id INTEGER PRIMARY KEY AUTOINCREMENT, verb TEXT,
  file TEXT, parameters TEXT, directory TEXT);
CREATE TABLE IF NOT EXISTS file_versions(path TEXT PRIMARY KEY COLLATE NOCASE, version TEXT);
CREATE TABLE IF NOT EXISTS file_private_builds(path TEXT PRIMARY KEY COLLATE NOCASE,
  private_build TEXT);
CREATE TABLE IF NOT EXISTS windows(id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL,
  owner INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS window_messages(id INTEGER PRIMARY KEY AUTOINCREMENT,
  window INTEGER NOT NULL, message INTEGER NOT NULL, wparam INTEGER NOT NULL,
  lparam INTEGER NOT NULL, taken INTEGER NOT NULL DEFAULT 0, result INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS window_messages_window ON window_messages(window, taken);
)sql";

// Version 3 compares registry names as Windows does (every letter, not only ASCII): the
// registry tables are rebuilt with that collation. Names that only now compare equal keep
// the first one stored.
const char* kRegistryNamesAsWindowsCompares = R"sql(
ALTER TABLE reg_keys RENAME TO reg_keys_v2;
ALTER TABLE reg_values RENAME TO reg_values_v2;
DROP INDEX IF EXISTS reg_keys_parent;
CREATE TABLE reg_keys(hive INTEGER NOT NULL, path TEXT NOT NULL COLLATE WINCASE,
  parent TEXT NOT NULL COLLATE WINCASE, name TEXT NOT NULL, PRIMARY KEY(hive, path));
CREATE TABLE reg_values(hive INTEGER NOT NULL, key TEXT NOT NULL COLLATE WINCASE,
  name TEXT NOT NULL COLLATE WINCASE, type INTEGER NOT NULL, data BLOB,
  PRIMARY KEY(hive, key, name));
INSERT OR IGNORE INTO reg_keys SELECT * FROM reg_keys_v2 ORDER BY rowid;
INSERT OR IGNORE INTO reg_values SELECT * FROM reg_values_v2 ORDER BY rowid;
DROP TABLE reg_keys_v2;
DROP TABLE reg_values_v2;
)sql";

int compareAsWindows(void*, int lengthA, const void* a, int lengthB, const void* b) {
  const std::string upperA = text::upperCaseName(std::string(static_cast<const char*>(a), lengthA));
  const std::string upperB = text::upperCaseName(std::string(static_cast<const char*>(b), lengthB));
  return upperA.compare(upperB);
}

void upperFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  if (!bytes) return sqlite3_result_null(context);
  const std::string upper =
      text::upperCaseName(std::string(bytes, static_cast<size_t>(sqlite3_value_bytes(argv[0]))));
  sqlite3_result_text(context, upper.data(), static_cast<int>(upper.size()), SQLITE_TRANSIENT);
}

struct CachedStatement {
  sqlite3_stmt* stmt = nullptr;
  bool inUse = false;
};

struct State {
  std::recursive_mutex mutex;
  // Prepared statements of the open connection, by their text.
  std::unordered_map<std::string, CachedStatement> statements;
  // Answers of reads, valid while the machine's write counter keeps the value it had when
  // they were read (cacheGeneration).
  std::unordered_map<std::string, std::string> answers;
  uint64_t cacheGeneration = 0;
  // A read transaction kept open between cached reads while no process writes: starting
  // one costs more than the look-up itself.
  bool readHeld = false;
  std::atomic<uint64_t>* writeCounter = nullptr;  // shared by every process of the machine
  std::string root;           // absolute, without trailing slash
  std::string defaultProfile = "win7-sp1-x64";
  sqlite3* db = nullptr;
  pid_t dbPid = 0;
  bool attached = false;      // folders made and store open for root
  int depth = 0;              // nesting of readStore/writeStore
  bool reportedFailure = false;
};

State& state() {
  static State* s = new State;  // never destroyed: detached workers may still use it at exit
  return *s;
}

// getpid() is a system call; the store asks on every access, so the answer is kept and
// renewed in a forked child.
pid_t gPid = getpid();
void renewPid() { gPid = getpid(); }
const int gAtFork = pthread_atfork(nullptr, nullptr, renewPid);
pid_t currentPid() { (void)gAtFork; return gPid; }

// machine.seq holds one 64-bit counter that every write transaction of every process
// increases after its commit. A process answers repeated reads from memory while the
// counter stands still, so a write by another process is seen by the very next read.
std::atomic<uint64_t>* mapWriteCounter(const std::string& root) {
  static_assert(std::atomic<uint64_t>::is_always_lock_free);
  std::string path = root + "/machine.seq";
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  struct stat st;
  void* map = MAP_FAILED;
  if (fstat(fd, &st) == 0 && (st.st_size >= 4096 || ftruncate(fd, 4096) == 0))
    map = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  return map == MAP_FAILED ? nullptr : static_cast<std::atomic<uint64_t>*>(map);
}

void endHeldRead(State& s) {
  if (!s.readHeld) return;
  s.readHeld = false;
  if (s.db && s.dbPid == currentPid()) sqlite3_exec(s.db, "COMMIT", nullptr, nullptr, nullptr);
}

void unmapWriteCounter(State& s) {
  if (s.writeCounter) munmap(static_cast<void*>(s.writeCounter), 4096);
  s.writeCounter = nullptr;
  s.answers.clear();
}

void finalizeStatements(State& s, bool ownConnection) {
  if (ownConnection)
    for (auto& [sql, cached] : s.statements) sqlite3_finalize(cached.stmt);
  s.statements.clear();
}

std::string defaultRoot() {
  if (const char* m = std::getenv("CORVANTA_MACHINE"); m && *m) return m;
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
    return std::string(x) + "/corvanta/machine";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share/corvanta/machine";
}

std::string absolute(const std::string& path) {
  std::error_code ec;
  std::string result = fs::absolute(path, ec).lexically_normal().string();
  if (ec) result = path;
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

void execOrThrow(sqlite3* db, const char* sql, const std::string& dbPath) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    throw MachineError("machine store " + dbPath + ": " + text);
  }
}

int64_t pragmaNumber(sqlite3* db, const char* sql, const std::string& dbPath) {
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  if (rc != SQLITE_ROW) {
    std::string text = sqlite3_errmsg(db);
    sqlite3_finalize(stmt);
    throw MachineError("machine store " + dbPath + " cannot be read: " + text +
                       " (it was left as it is)");
  }
  int64_t value = sqlite3_column_int64(stmt, 0);
  sqlite3_finalize(stmt);
  return value;
}

// Opens (creating when new) the store; throws for a corrupt or foreign file, which stays
// untouched.
sqlite3* openStore(const std::string& dbPath) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(dbPath.c_str(), &db,
                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    std::string text = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw MachineError("machine store " + dbPath + " cannot be opened: " + text);
  }
  sqlite3_busy_timeout(db, kBusyTimeoutMs);
  // Registry names compare as on Windows, in the tables and in the statements.
  sqlite3_create_collation_v2(db, "WINCASE", SQLITE_UTF8, nullptr, compareAsWindows, nullptr);
  sqlite3_create_function_v2(db, "winupper", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                             upperFunction, nullptr, nullptr, nullptr);
  try {
    // Reading the header first: a file that is not a database fails here, before anything
    // is written to it.
    int64_t appId = pragmaNumber(db, "PRAGMA application_id", dbPath);
    int64_t tables = pragmaNumber(db, "SELECT count(*) FROM sqlite_master", dbPath);
    if (appId != kApplicationId && (appId != 0 || tables != 0))
      throw MachineError("machine store " + dbPath +
                         " belongs to another program (not a Corvanta machine); it was left "
                         "as it is");
    if (appId == 0) {
      execOrThrow(db, "PRAGMA journal_mode=WAL", dbPath);
      execOrThrow(db, "BEGIN IMMEDIATE", dbPath);
      try {
        // Another process may have created it meanwhile; the schema is idempotent.
        if (pragmaNumber(db, "PRAGMA application_id", dbPath) == 0) {
          execOrThrow(db, kSchema, dbPath);
          std::string ids = "PRAGMA application_id=" + std::to_string(kApplicationId) +
                            "; PRAGMA user_version=" + std::to_string(kSchemaVersion);
          execOrThrow(db, ids.c_str(), dbPath);
        }
        execOrThrow(db, "COMMIT", dbPath);
      } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
      }
    } else if (int64_t version = pragmaNumber(db, "PRAGMA user_version", dbPath);
               version > kSchemaVersion) {
      throw MachineError("machine store " + dbPath +
                         " was written by a newer version of the machine tools");
    } else if (version < kSchemaVersion) {
      // An older machine gains the new tables; the schema only adds what is missing.
      execOrThrow(db, "BEGIN IMMEDIATE", dbPath);
      try {
        if (version < 3) execOrThrow(db, kRegistryNamesAsWindowsCompares, dbPath);
        execOrThrow(db, kSchema, dbPath);
        std::string ids = "PRAGMA user_version=" + std::to_string(kSchemaVersion);
        execOrThrow(db, ids.c_str(), dbPath);
        execOrThrow(db, "COMMIT", dbPath);
      } catch (...) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
      }
    }
    execOrThrow(db, "PRAGMA synchronous=NORMAL", dbPath);
    // Pages of the store are read through a mapping, cheap to take again after a write.
    execOrThrow(db, "PRAGMA mmap_size=268435456", dbPath);
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  return db;
}

void makeFolder(const std::string& path) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec && !fs::is_directory(path))
    throw MachineError("machine folder " + path + " cannot be created: " + ec.message());
}

void makeKnownFolders(const std::string& root) {
  std::string c = root + "/drive_c";
  std::string user = userName();
  const char* folders[] = {"windows/system32", "Program Files",
                           "ProgramData/Microsoft/Windows/Start Menu/Programs",
                           "Users/Public/Desktop"};
  for (const char* f : folders) makeFolder(c + "/" + f);
  if (is64BitProfile()) makeFolder(c + "/Program Files (x86)");
  makeFolder(c + "/Users/" + user + "/Documents");
  makeFolder(c + "/Users/" + user + "/AppData/Local/Temp");
  makeFolder(c + "/Users/" + user + "/AppData/Roaming");
  // The installer engine's library, so that its file version can be asked for.
  std::string msiDll = c + "/windows/system32/Msi.dll";
  if (!fs::exists(msiDll)) {
    FILE* f = std::fopen(msiDll.c_str(), "wb");
    if (f) std::fclose(f);
  }
  installStandIns();
}

void closeStore(State& s) {
  // A connection inherited through fork belongs to the parent: closing it here could
  // checkpoint or unlink the parent's WAL, so the child just forgets it.
  bool own = s.dbPid == currentPid();
  endHeldRead(s);
  s.readHeld = false;
  finalizeStatements(s, own);
  if (s.db && own) sqlite3_close_v2(s.db);
  s.db = nullptr;
  s.attached = false;
  unmapWriteCounter(s);
}

// Makes the machine of s.root usable: folders, store, first initialisation.
void attach(State& s, const std::string& profile) {
  if (s.attached && s.dbPid == currentPid()) return;
  if (s.db && s.dbPid != currentPid()) closeStore(s);
  if (s.root.empty()) s.root = absolute(defaultRoot());
  makeFolder(s.root);
  s.db = openStore(s.root + "/machine.db");
  s.dbPid = currentPid();
  s.attached = true;
  // Without the counter every read goes to the store: slower, never stale.
  s.writeCounter = mapWriteCounter(s.root);
  try {
    if (!systemInfo("Profile")) applyProfile(profile);
    makeKnownFolders(s.root);
  } catch (...) {
    closeStore(s);
    throw;
  }
}

bool isBusy(int rc) { return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED; }

void runInTransaction(State& s, const char* begin, const std::function<void(sqlite3*)>& fn) {
  attach(s, s.defaultProfile);
  if (s.depth == 0) endHeldRead(s);
  if (s.depth > 0) {
    ++s.depth;
    try { fn(s.db); } catch (...) { --s.depth; throw; }
    --s.depth;
    return;
  }
  // The busy timeout waits up to 10 s per attempt; the loop covers the rare answers that
  // come back at once (a lock held while another process recovers the WAL).
  int rc = SQLITE_BUSY;
  for (int attempt = 0; attempt < 50; ++attempt) {
    rc = sqlite3_exec(s.db, begin, nullptr, nullptr, nullptr);
    if (!isBusy(rc)) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (rc != SQLITE_OK)
    throw MachineError("machine store " + s.root + "/machine.db: " + sqlite3_errmsg(s.db));
  ++s.depth;
  try {
    fn(s.db);
    for (int attempt = 0;; ++attempt) {
      rc = sqlite3_exec(s.db, "COMMIT", nullptr, nullptr, nullptr);
      if (!isBusy(rc) || attempt >= 50) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (rc != SQLITE_OK)
      throw MachineError("machine store " + s.root + "/machine.db: " + sqlite3_errmsg(s.db));
  } catch (...) {
    --s.depth;
    sqlite3_exec(s.db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  --s.depth;
  // After the commit, so that a reader that sees the new count also sees the new data.
  if (s.writeCounter && std::strcmp(begin, "BEGIN IMMEDIATE") == 0)
    s.writeCounter->fetch_add(1, std::memory_order_acq_rel);
}

}  // namespace

// ---- Statement ----

Statement::Statement(sqlite3* db, const char* sql) : db_(db) {
  // Statements of the process's own connection are prepared once and kept; a statement
  // already in use (a nested use of the same text) gets a fresh one.
  State& s = state();
  if (db == s.db && s.dbPid == currentPid()) {
    CachedStatement& cached = s.statements[sql];
    if (!cached.stmt) prepare(sql), cached.stmt = stmt_;
    if (!cached.inUse) {
      stmt_ = cached.stmt;
      cached.inUse = true;
      cached_ = &cached.inUse;
      return;
    }
  }
  prepare(sql);
}

void Statement::prepare(const char* sql) {
  int rc = SQLITE_BUSY;
  for (int attempt = 0; attempt < 50 && isBusy(rc); ++attempt) {
    rc = sqlite3_prepare_v2(db_, sql, -1, &stmt_, nullptr);
    if (isBusy(rc)) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw MachineError(std::string("machine store: ") + sqlite3_errmsg(db_) + " in " + sql);
  }
}

Statement::~Statement() {
  if (!cached_) {
    sqlite3_finalize(stmt_);
    return;
  }
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
  *cached_ = false;
}

Statement& Statement::bind(int index, const std::string& text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::bind(int index, int64_t number) {
  sqlite3_bind_int64(stmt_, index, number);
  return *this;
}

Statement& Statement::bindBlob(int index, const std::string& bytes) {
  sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()),
                    SQLITE_TRANSIENT);
  return *this;
}

bool Statement::step() {
  int rc = sqlite3_step(stmt_);
  for (int attempt = 0; isBusy(rc) && attempt < 50; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    sqlite3_reset(stmt_);
    rc = sqlite3_step(stmt_);
  }
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  throw MachineError(std::string("machine store: ") + sqlite3_errmsg(db_));
}

std::string Statement::text(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::string(static_cast<const char*>(data), size) : std::string();
}

int64_t Statement::number(int column) const { return sqlite3_column_int64(stmt_, column); }

bool Statement::isNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

// ---- store access ----

void readStore(const std::function<void(sqlite3*)>& fn) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  runInTransaction(s, "BEGIN", fn);
}

void writeStore(const std::function<void(sqlite3*)>& fn) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  runInTransaction(s, "BEGIN IMMEDIATE", fn);
}

std::string cachedRead(const std::string& key, const std::function<std::string(sqlite3*)>& fn) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  attach(s, s.defaultProfile);
  std::string answer;
  // Inside a transaction the answer may be one that is never committed: not kept.
  if (s.depth > 0 || !s.writeCounter) {
    runInTransaction(s, "BEGIN", [&](sqlite3* db) { answer = fn(db); });
    return answer;
  }
  // The count is taken before the read: a write that lands meanwhile changes it again.
  uint64_t generation = s.writeCounter->load(std::memory_order_acquire);
  if (generation != s.cacheGeneration) {
    s.answers.clear();
    s.cacheGeneration = generation;
    endHeldRead(s);  // its snapshot is older than that write
  }
  if (auto it = s.answers.find(key); it != s.answers.end()) return it->second;
  if (!s.readHeld) {
    int rc = sqlite3_exec(s.db, "BEGIN", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
      throw MachineError("machine store " + s.root + "/machine.db: " + sqlite3_errmsg(s.db));
    s.readHeld = true;
  }
  ++s.depth;
  try {
    answer = fn(s.db);
  } catch (...) {
    --s.depth;
    endHeldRead(s);
    throw;
  }
  --s.depth;
  if (s.answers.size() >= 50000) s.answers.clear();
  s.answers.emplace(key, answer);
  return answer;
}

std::string rootPath() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  try {
    attach(s, s.defaultProfile);
  } catch (const MachineError& e) {
    // Paths still map without the store; the failure is reported once.
    if (!s.reportedFailure) debugOutput(std::string("machine::rootPath - ") + e.what() + "\n");
    s.reportedFailure = true;
    if (s.root.empty()) s.root = absolute(defaultRoot());
  }
  return s.root;
}

std::string root() {
  State& s = state();
  std::lock_guard lock(s.mutex);
  attach(s, s.defaultProfile);
  return s.root;
}

void useRoot(const std::string& rootFolder, const std::string& osProfile) {
  State& s = state();
  std::lock_guard lock(s.mutex);
  closeStore(s);
  s.reportedFailure = false;
  s.root = absolute(rootFolder);
  s.defaultProfile = osProfile;
  setenv("CORVANTA_MACHINE", s.root.c_str(), 1);
  attach(s, osProfile);
}

std::optional<std::string> systemInfo(const std::string& name) {
  std::string key = "s\x1f";
  for (char c : name) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // "-" no such entry, "+value" an entry.
  std::string answer = cachedRead(key, [&](sqlite3* db) -> std::string {
    Statement q(db, "SELECT value FROM system_info WHERE name=?");
    q.bind(1, name);
    return q.step() ? "+" + q.text(0) : "-";
  });
  if (answer.empty() || answer[0] != '+') return std::nullopt;
  return answer.substr(1);
}

void setSystemInfo(const std::string& name, const std::string& value) {
  writeStore([&](sqlite3* db) {
    Statement q(db, "INSERT INTO system_info(name, value) VALUES(?, ?) "
                    "ON CONFLICT(name) DO UPDATE SET value=excluded.value");
    q.bind(1, name).bind(2, value).run();
  });
}

bool is64BitProfile() {
  std::string architecture = systemInfo("ProcessorArchitecture").value_or("0");
  return architecture == "9" || architecture == "6";
}

std::string userName() { return systemInfo("UserName").value_or("User"); }

void recordShellEvent(const ShellEvent& event) {
  writeStore([&](sqlite3* db) {
    Statement q(db, "INSERT INTO shell_events(verb, file, parameters, directory) "
                    "VALUES(?, ?, ?, ?)");
    q.bind(1, event.verb).bind(2, event.file).bind(3, event.parameters).bind(4, event.directory);
    q.run();
  });
}

std::vector<ShellEvent> shellEvents() {
  std::vector<ShellEvent> events;
  readStore([&](sqlite3* db) {
    Statement q(db, "SELECT verb, file, parameters, directory FROM shell_events ORDER BY id");
    while (q.step()) events.push_back({q.text(0), q.text(1), q.text(2), q.text(3)});
  });
  return events;
}

void setFileVersion(const std::string& windowsPath, const std::string& version) {
  writeStore([&](sqlite3* db) {
    Statement q(db, "INSERT INTO file_versions(path, version) VALUES(?, ?) "
                    "ON CONFLICT(path) DO UPDATE SET version=excluded.version");
    q.bind(1, windowsPath).bind(2, version).run();
  });
}

std::optional<std::string> fileVersion(const std::string& windowsPath) {
  std::optional<std::string> version;
  readStore([&](sqlite3* db) {
    Statement q(db, "SELECT version FROM file_versions WHERE path=?");
    q.bind(1, windowsPath);
    if (q.step()) version = q.text(0);
  });
  return version;
}

void setFilePrivateBuild(const std::string& windowsPath, const std::optional<std::string>& text) {
  writeStore([&](sqlite3* db) {
    if (!text) {
      Statement(db, "DELETE FROM file_private_builds WHERE path=?").bind(1, windowsPath).run();
      return;
    }
    Statement q(db, "INSERT INTO file_private_builds(path, private_build) VALUES(?, ?) "
                    "ON CONFLICT(path) DO UPDATE SET private_build=excluded.private_build");
    q.bind(1, windowsPath).bind(2, *text).run();
  });
}

std::optional<std::string> filePrivateBuild(const std::string& windowsPath) {
  std::optional<std::string> text;
  readStore([&](sqlite3* db) {
    Statement q(db, "SELECT private_build FROM file_private_builds WHERE path=?");
    q.bind(1, windowsPath);
    if (q.step()) text = q.text(0);
  });
  return text;
}

}  // namespace platform::machine
