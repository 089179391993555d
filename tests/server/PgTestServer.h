// A PostgreSQL server of the test program's own: initdb into a temporary folder, started with
// pg_ctl on a unix socket in that folder (no TCP port), stopped and removed when the program
// ends. Run as the current user, or, as root (whom initdb refuses), as the unprivileged
// `nobody`. Each test takes a fresh database on it.
#pragma once

#include <string>

class TPgTestServer {
public:
    // The one server of this test program, started on first use. It does not sync its writes
    // to the disk: the tests look at what the service does, not at the machine crashing.
    static TPgTestServer& Get();
    // A server that syncs its commits as a deployed one does (for the load benchmark).
    static TPgTestServer& GetDurable();
    ~TPgTestServer();
    TPgTestServer(const TPgTestServer&) = delete;
    TPgTestServer& operator=(const TPgTestServer&) = delete;

    bool Ok() const { return Running; }
    // Why there is no server, when there is none.
    const std::string& Why() const { return Problem; }
    // Creates an empty database and returns its URI (postgresql://...); empty on failure.
    std::string NewDatabase();

private:
    explicit TPgTestServer(bool durable);
    // Runs a PostgreSQL program (as the server's user) with its output in the folder's log.
    bool RunTool(const std::string& program, const std::string& arguments);

    std::string BinDir, Folder, RunAs;
    int Port = 0;
    int NextDatabase = 0;
    bool Running = false;
    std::string Problem;
};
