// Backend selection for the record-manager tests.
#include "btr_backends.h"

#include "pg_cluster.h"
#include "storage/record_backend.h"

namespace btr_test {

void UseBackend(Backend backend) {
  if (backend == Backend::kSqlite) {
    storage::SetRecordDatabase({});
    return;
  }
  const std::string& conninfo = testing_support::PgConninfo();
  ASSERT_FALSE(conninfo.empty());
  storage::SetRecordDatabase({conninfo, ""});
}

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::kSqlite ? "Sqlite" : "Postgres";
}

}  // namespace btr_test
