#include "server/PgTestServer.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>

#ifdef VELKARO_HAVE_POSTGRES
#include <libpq-fe.h>
#endif

namespace {

// The newest server programs Debian installs, else whatever initdb is on the PATH.
std::string FindBinDir() {
    std::error_code ec;
    std::string best;
    int bestVersion = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        const int version = std::atoi(entry.path().filename().c_str());
        if (version > bestVersion && std::filesystem::exists(entry.path() / "bin/initdb")) {
            bestVersion = version;
            best = (entry.path() / "bin").string();
        }
    }
    if (!best.empty()) return best;
    if (std::system("command -v initdb >/dev/null 2>&1") == 0) return "";
    return "-";
}

std::string Tail(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    return all.size() > 600 ? all.substr(all.size() - 600) : all;
}

}  // namespace

TPgTestServer& TPgTestServer::Get() {
    static TPgTestServer server(false);
    return server;
}

TPgTestServer& TPgTestServer::GetDurable() {
    static TPgTestServer server(true);
    return server;
}

TPgTestServer::TPgTestServer(bool durable) {
    (void)durable;
#ifndef VELKARO_HAVE_POSTGRES
    Problem = "this build has no PostgreSQL support (libpq was not found)";
    return;
#else
    BinDir = FindBinDir();
    if (BinDir == "-") {
        Problem = "no PostgreSQL server programs (initdb) are installed";
        return;
    }
    std::random_device rd;
    // As root the folder goes in /tmp, which the server's user can reach whatever TMPDIR says.
    const std::filesystem::path temp =
        geteuid() == 0 ? std::filesystem::path("/tmp") : std::filesystem::temp_directory_path();
    Folder = (temp / ("velkaro-pg-" + std::to_string(rd()))).string();
    std::filesystem::create_directories(Folder);
    if (geteuid() == 0) {
        // initdb will not run as root: the server runs as nobody, owning the folder.
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr || chown(Folder.c_str(), nobody->pw_uid, nobody->pw_gid) != 0 ||
            std::system("command -v runuser >/dev/null 2>&1") != 0) {
            Problem = "running as root, and the folder cannot be handed to the user nobody";
            return;
        }
        RunAs = "runuser -u nobody -- ";
    }
    Port = 5432;
    if (!RunTool("initdb", "-D " + Folder +
                               "/data -U velkaro --auth=trust -E UTF8 "
                               "--locale=C.UTF-8 --no-sync")) {
        Problem = "initdb failed: " + Tail(Folder + "/tool.log");
        return;
    }
    // Only the unix socket in the folder: nothing listens on the network.
    if (!RunTool("pg_ctl", "-D " + Folder + "/data -l " + Folder + "/server.log -w -t 60 -o \"-p " +
                               std::to_string(Port) + " -k " + Folder +
                               " -c listen_addresses='' -c max_connections=200" +
                               (durable ? "" : " -c fsync=off") + "\" start")) {
        Problem = "the server did not start: " + Tail(Folder + "/server.log");
        return;
    }
    Running = true;
#endif
}

TPgTestServer::~TPgTestServer() {
    if (Running) RunTool("pg_ctl", "-D " + Folder + "/data -m immediate -w stop");
    std::error_code ec;
    if (!Folder.empty()) std::filesystem::remove_all(Folder, ec);
}

bool TPgTestServer::RunTool(const std::string& program, const std::string& arguments) {
    const std::string path = BinDir.empty() ? program : BinDir + "/" + program;
    const std::string command =
        RunAs + path + " " + arguments + " >>" + Folder + "/tool.log 2>&1 </dev/null";
    return std::system(command.c_str()) == 0;
}

std::string TPgTestServer::NewDatabase() {
#ifndef VELKARO_HAVE_POSTGRES
    return "";
#else
    static std::mutex lock;
    std::lock_guard<std::mutex> hold(lock);
    if (!Running) return "";
    const std::string base = "postgresql://velkaro@/";
    const std::string where = "?host=" + Folder + "&port=" + std::to_string(Port);
    PGconn* conn = PQconnectdb((base + "postgres" + where).c_str());
    const std::string name =
        "velkaro_" + std::to_string(getpid()) + "_" + std::to_string(NextDatabase++);
    PGresult* r = PQexec(conn, ("CREATE DATABASE " + name).c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    if (!ok) Problem = std::string("CREATE DATABASE failed: ") + PQerrorMessage(conn);
    PQclear(r);
    PQfinish(conn);
    return ok ? base + name + where : "";
#endif
}
