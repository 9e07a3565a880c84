// StoreTest: a fresh, empty store per test, on SQLite (a new file in a temporary folder) and
// on PostgreSQL (a new schema in the database named by LEMBRETE_TEST_POSTGRES; skipped with a
// reason when that variable is unset). Tests are written once and run on both.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "server/store.h"

namespace lembrete::testing {

class StoreTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    Store& store() { return *store_; }
    // Opens a second store on the same database (as another server process would).
    std::unique_ptr<Store> reopen(int poolSize = 2) const;

  private:
    std::string location_;
    std::filesystem::path folder_;
    std::string schema_;
    std::unique_ptr<Store> store_;
};

std::string backendName(const ::testing::TestParamInfo<Backend>& info);

}  // namespace lembrete::testing
