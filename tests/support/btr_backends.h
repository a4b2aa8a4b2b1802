// The record-manager tests run on both backends: SQLite files and tables in
// a private PostgreSQL cluster (tests/support/pg_cluster.h).
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace btr_test {

enum class Backend { kSqlite, kPostgres };

// Makes the next opens and creates go to the backend (the cluster is started
// on first use; a cluster that cannot start fails the test).
void UseBackend(Backend backend);

// Test name suffixes: "Sqlite", "Postgres".
std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

#define BTR_ON_BOTH_BACKENDS(Suite)                                                \
  INSTANTIATE_TEST_SUITE_P(                                                        \
      Backends, Suite,                                                             \
      ::testing::Values(btr_test::Backend::kSqlite, btr_test::Backend::kPostgres), \
      btr_test::BackendName)

}  // namespace btr_test
