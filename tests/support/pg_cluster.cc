// The private cluster: initdb and pg_ctl from the PostgreSQL 15 packages.
// The server never listens on TCP (listen_addresses ''), so tests on one
// machine never meet each other's servers.
#include "pg_cluster.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace testing_support {
namespace {

constexpr const char* kBin = "/usr/lib/postgresql/15/bin/";

class Cluster : public ::testing::Environment {
 public:
  const std::string& Start() {
    if (tried_) return conninfo_;
    tried_ = true;
    std::string tmpl = (std::filesystem::temp_directory_path() / "qantires-pg-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) return Fail("cannot create a temporary directory");
    dir_ = tmpl;
    std::string user;
    if (::geteuid() == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      if (nobody == nullptr || ::chown(dir_.c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
        return Fail("cannot hand the cluster folder to nobody");
      as_ = "runuser -u nobody -- ";
      user = "nobody";
    } else {
      const passwd* me = ::getpwuid(::geteuid());
      user = me == nullptr ? "" : me->pw_name;
    }
    const std::string data = dir_ + "/data";
    const std::string made = Template();
    if (made.empty() || Shell("cp -a " + made + " " + data) != 0)
      return Fail("initdb failed (" + dir_ + "/initdb.log)");
    const std::string options = "-c listen_addresses= -c unix_socket_directories=" + dir_ +
                                " -c fsync=off -c synchronous_commit=off -c full_page_writes=off";
    if (Shell(std::string(kBin) + "pg_ctl -w -s -D " + data + " -l " + dir_ + "/server.log -o '" +
              options + "' start") != 0)
      return Fail("the server did not start (" + dir_ + "/server.log)");
    started_ = true;
    conninfo_ = "host=" + dir_ + " dbname=postgres user=" + user;
    return conninfo_;
  }

  void TearDown() override {
    if (started_) Shell(std::string(kBin) + "pg_ctl -w -s -m immediate -D " + dir_ + "/data stop");
    started_ = false;
    if (!dir_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(dir_, ignored);
    }
  }

 private:
  // A fresh cluster is a copy of one made by initdb once per machine and
  // user (initdb takes seconds, a copy a moment).  The template appears
  // whole or not at all: it is made aside and renamed into place.
  std::string Template() {
    const std::string made = (std::filesystem::temp_directory_path() /
                              ("qantires-pg15-template-" + std::to_string(::geteuid())))
                                 .string();
    if (std::filesystem::exists(made + "/PG_VERSION")) return made;
    const std::string aside = dir_ + "/template";
    if (Shell(std::string(kBin) + "initdb -A trust -E UTF8 --no-sync -D " + aside + " >" + dir_ +
              "/initdb.log 2>&1") != 0)
      return "";
    if (::rename(aside.c_str(), made.c_str()) != 0) {
      std::error_code ignored;
      std::filesystem::remove_all(aside, ignored);  // another test binary was first
    }
    return made;
  }

  int Shell(const std::string& command) { return std::system((as_ + command).c_str()); }
  const std::string& Fail(const std::string& why) {
    ADD_FAILURE() << "PostgreSQL test cluster: " << why;
    conninfo_.clear();
    return conninfo_;
  }

  bool tried_ = false;
  bool started_ = false;
  std::string dir_, as_, conninfo_;
};

Cluster* const cluster = static_cast<Cluster*>(::testing::AddGlobalTestEnvironment(new Cluster));

}  // namespace

const std::string& PgConninfo() {
  return cluster->Start();
}

std::string PgNewDatabase(const std::string& name) {
  PGconn* c = PQconnectdb(PgConninfo().c_str());
  PQclear(PQexec(c, ("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)").c_str()));
  PGresult* made = PQexec(c, ("CREATE DATABASE " + name).c_str());
  const bool ok = PQresultStatus(made) == PGRES_COMMAND_OK;
  if (!ok) ADD_FAILURE() << "CREATE DATABASE " << name << ": " << PQerrorMessage(c);
  PQclear(made);
  PQfinish(c);
  return ok ? PgConninfo() + " dbname=" + name : "";
}

void PgDropConnections() {
  PGconn* c = PQconnectdb(PgConninfo().c_str());
  // With a timeout the call returns once the backend is gone, its locks with it.
  PQclear(PQexec(c,
                 "SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity"
                 " WHERE pid <> pg_backend_pid() AND backend_type = 'client backend'"));
  PQfinish(c);
}

}  // namespace testing_support
