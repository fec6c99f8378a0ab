#pragma once
// The two store engines for the tests and the benchmarks: an SQLite file in a temporary folder, or
// a database on a PostgreSQL server of the test's own. The server is started from the Debian
// binaries (initdb into a temporary folder, a free loopback port, pg_ctl start) and stopped with
// pg_ctl when it goes; as root it runs as `nobody`, since initdb refuses root.
#include "ServerRig.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#ifndef VENDRA_PG_BINDIR
#define VENDRA_PG_BINDIR "/usr/lib/postgresql/15/bin"
#endif

namespace vendra::server::test {

class PgInstance {
public:
    // `durable`: fsync and synchronous commits as in production (for measurements); otherwise
    // both off, which the tests do not depend on.
    explicit PgInstance(bool durable = false) {
        char folder[] = "/tmp/vendra-pg-XXXXXX";
        if (!mkdtemp(folder)) {
            error_ = std::string("cannot create a temporary folder: ") + std::strerror(errno);
            return;
        }
        dir_ = folder;
        if (geteuid() == 0) {
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || chown(folder, nobody->pw_uid, nobody->pw_gid) != 0) {
                error_ = "running as root, and cannot hand " + dir_ + " to the user nobody";
                return;
            }
            uid_ = nobody->pw_uid;
            gid_ = nobody->pw_gid;
        }
        const int initdb =
            run({"initdb", "-D", data(), "-U", "vendra", "-A", "trust", "-E", "UTF8", "--locale=C", "--no-sync"});
        if (initdb != 0) {
            error_ = "initdb in " + std::string(VENDRA_PG_BINDIR) + " exited with " + std::to_string(initdb) + ": " +
                     logTail();
            return;
        }
        std::string settings = "-c listen_addresses=127.0.0.1 -c max_connections=200 -k " + dir_;
        if (!durable) settings += " -c fsync=off -c synchronous_commit=off -c full_page_writes=off";
        for (int attempt = 0; attempt < 3 && port_ == 0; ++attempt) {
            const int port = FreeLoopbackPort();
            options_ = "-p " + std::to_string(port) + " " + settings;
            if (run({"pg_ctl", "-D", data(), "-l", dir_ + "/server.log", "-w", "-t", "60", "-o", options_, "start"}) ==
                0)
                port_ = port;
        }
        if (port_ == 0) error_ = "pg_ctl start failed: " + logTail();
    }
    ~PgInstance() {
        if (port_) run({"pg_ctl", "-D", data(), "-m", "immediate", "-w", "stop"});
        if (!dir_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(dir_, ignored);
        }
    }
    PgInstance(const PgInstance&) = delete;
    PgInstance& operator=(const PgInstance&) = delete;

    // One per test executable, started on first use.
    static PgInstance& shared() {
        static PgInstance instance;
        return instance;
    }

    bool running() const { return port_ != 0; }
    // Why it is not running.
    const std::string& error() const { return error_; }
    int port() const { return port_; }

    // A new empty database: its URL, or empty (and error() says why).
    std::string createDatabase() {
        const std::string name = "store" + std::to_string(++databases_);
        if (run({"createdb", "-h", "127.0.0.1", "-p", std::to_string(port_), "-U", "vendra", name}) != 0) {
            error_ = "createdb failed: " + logTail();
            return {};
        }
        return url(name);
    }
    std::string url(const std::string& database) const {
        return "postgresql://vendra@127.0.0.1:" + std::to_string(port_) + "/" + database;
    }
    // Runs SQL on a database named by its URL; psql's exit code.
    int sql(const std::string& url, const std::string& statements) {
        return run({"psql", "-v", "ON_ERROR_STOP=1", "-q", "-d", url, "-c", statements});
    }
    // Restarts the server (every connection to it is cut); true when it is back.
    bool restart() {
        return run({"pg_ctl", "-D", data(), "-l", dir_ + "/server.log", "-m", "fast", "-w", "-t", "60", "-o", options_,
                    "restart"}) == 0;
    }

private:
    std::string data() const { return dir_ + "/data"; }

    // One of the PostgreSQL programs, as the unprivileged user when we are root, its output
    // appended to the log; the exit code.
    int run(std::vector<std::string> args) {
        args[0] = std::string(VENDRA_PG_BINDIR) + "/" + args[0];
        const std::string log = dir_ + "/commands.log";
        const pid_t pid = fork();
        if (pid == 0) {
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
            if (fd >= 0) {
                dup2(fd, STDOUT_FILENO);
                dup2(fd, STDERR_FILENO);
            }
            if (uid_ != 0 && (setgroups(0, nullptr) != 0 || setgid(gid_) != 0 || setuid(uid_) != 0)) _exit(126);
            std::vector<char*> argv;
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string logTail() const {
        std::ostringstream all;
        for (const char* name : {"/commands.log", "/server.log"}) all << std::ifstream(dir_ + name).rdbuf();
        const std::string text = all.str();
        return text.size() > 2000 ? text.substr(text.size() - 2000) : text;
    }

    std::string dir_;
    std::string options_;
    std::string error_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    int port_ = 0;
    int databases_ = 0;
};

enum class Engine { Sqlite, Postgres };

// The engine's name where GoogleTest prints a test's parameter.
inline void PrintTo(Engine engine, std::ostream* out) { *out << (engine == Engine::Sqlite ? "Sqlite" : "Postgres"); }

// A new, empty store of the engine: the path of a file in `dir`, or the URL of a new database on
// the shared PostgreSQL server. Empty when PostgreSQL is not there; `why` says why.
inline std::string NewStore(Engine engine, const TempStoreDir& dir, std::string& why) {
    if (engine == Engine::Sqlite) return dir.pathStd();
    PgInstance& pg = PgInstance::shared();
    std::string url = pg.running() ? pg.createDatabase() : std::string();
    if (url.empty()) why = "PostgreSQL did not start: " + pg.error();
    return url;
}

}  // namespace vendra::server::test
