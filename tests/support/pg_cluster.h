// A private PostgreSQL server for the tests of the record files kept in a
// database: a cluster made with initdb in a temporary folder, listening only
// on a Unix socket in that folder, started on first use and stopped when the
// test binary ends.  Run as root, the server runs as the user "nobody".
#pragma once

#include <string>

namespace testing_support {

// The connection string of the running cluster (starting it on the first
// call).  A cluster that cannot start fails the test (ADD_FAILURE) and
// gives "".
const std::string& PgConninfo();

// The connection string of a new, empty database `name` on the cluster
// (one of that name made before is dropped first): for tests that need
// tables of their own.  "" (and a failure) when it cannot be made.
std::string PgNewDatabase(const std::string& name);

// Ends every other connection to the cluster, as a server restart would,
// and returns once their sessions are gone.
void PgDropConnections();

}  // namespace testing_support
