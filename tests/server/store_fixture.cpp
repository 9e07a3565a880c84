#include "store_fixture.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace lembrete::testing {
namespace {

std::string uniqueName() {
    static std::atomic<int> counter{0};
    return "t" + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

}  // namespace

std::string backendName(const ::testing::TestParamInfo<Backend>& info) {
    return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

void StoreTest::SetUp() {
    if (GetParam() == Backend::Sqlite) {
        folder_ = std::filesystem::temp_directory_path() / ("lembrete-store-" + uniqueName());
        std::filesystem::create_directories(folder_);
        location_ = "sqlite:" + (folder_ / "lembrete.db").string();
    } else {
        const char* uri = std::getenv("LEMBRETE_TEST_POSTGRES");
        if (!uri || !*uri) {
            GTEST_SKIP()
                << "LEMBRETE_TEST_POSTGRES is not set (scripts/test.sh sets it after starting a "
                   "throwaway PostgreSQL cluster)";
        }
        // Each test gets a schema of its own, so tests running side by side never meet.
        schema_ = "lembrete_" + uniqueName();
        soci::session admin("postgresql", DatabaseLocation::parse(uri).connectString());
        admin << "CREATE SCHEMA " + schema_;
        location_ = std::string(uri) +
                    (std::string(uri).find('?') == std::string::npos ? "?" : "&") +
                    "options=-csearch_path%3D" + schema_;
    }
    store_ = reopen(4);
}

void StoreTest::TearDown() {
    store_.reset();
    if (!schema_.empty()) {
        soci::session admin(
            "postgresql",
            DatabaseLocation::parse(std::getenv("LEMBRETE_TEST_POSTGRES")).connectString());
        admin << "DROP SCHEMA " + schema_ + " CASCADE";
    }
    if (!folder_.empty()) {
        std::filesystem::remove_all(folder_);
    }
}

std::unique_ptr<Store> StoreTest::reopen(int poolSize) const {
    return std::make_unique<Store>(DatabaseLocation::parse(location_), poolSize);
}

}  // namespace lembrete::testing
