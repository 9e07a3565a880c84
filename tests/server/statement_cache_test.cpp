// A connection's prepared statements stay bounded however many different SQL texts it runs
// (a delta's SQL varies with its field order and null values). Memory read from /proc.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "server/store_connection.h"

namespace lembrete::testing {
namespace {

std::size_t residentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("VmRSS:")) {
            return std::stoull(line.substr(6)) * 1024;
        }
    }
    return 0;
}

TEST(StatementCacheTest, TwentyThousandDifferentStatementsKeepMemoryBounded) {
    const auto file = std::filesystem::temp_directory_path() /
                      ("lembrete-statements-" + std::to_string(getpid()) + ".db");
    {
        StoreConnection connection(DatabaseLocation::parse("sqlite:" + file.string()));
        connection.session() << "CREATE TABLE T (A TEXT, B TEXT, C TEXT)";
        const auto shape = [](int i) {
            // Column order and null tests vary as an update's WHERE does.
            std::string sql = "UPDATE T SET A = :p0 WHERE 1 = 1";
            for (int bit = 0; bit < 15; ++bit) {
                sql += std::string(" AND ") + "ABC"[bit % 3] +
                       ((i >> bit) & 1 ? " IS NULL" : " IS NOT NULL");
            }
            return sql;
        };
        for (int i = 0; i < 200; ++i) {
            connection.statement(shape(i), "t").execute();
        }
        const std::size_t before = residentBytes();
        for (int i = 200; i < 20'000; ++i) {
            auto& statement = connection.statement(shape(i), "t");
            statement.setText(0, "x");
            statement.execute();
        }
        const std::size_t growth = residentBytes() - before;
        EXPECT_LT(growth, 8u << 20) << growth / 1024 << " KiB";
        // A statement used again is still there and still runs.
        EXPECT_NO_THROW(connection.statement(shape(19'999), "t").execute());
    }
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace lembrete::testing
