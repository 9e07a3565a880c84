# Third-party libraries, all from Debian packages (scripts/install-deps.sh installs them).
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)

find_package(nlohmann_json 3.11 REQUIRED)
find_package(simdjson 3.0 REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
pkg_check_modules(LIBICAL REQUIRED IMPORTED_TARGET libical)
pkg_check_modules(LIBXML2 REQUIRED IMPORTED_TARGET libxml-2.0)

# SOCI ships neither a CMake package nor a pkg-config file on Debian.
find_path(SOCI_INCLUDE_DIR soci/soci.h REQUIRED)
find_library(SOCI_CORE_LIBRARY soci_core REQUIRED)
find_library(SOCI_SQLITE3_LIBRARY soci_sqlite3 REQUIRED)
find_library(SOCI_POSTGRESQL_LIBRARY soci_postgresql REQUIRED)
find_package(Boost REQUIRED)
find_package(OpenSSL REQUIRED)
find_package(PostgreSQL REQUIRED)
find_package(SQLite3 REQUIRED)
add_library(soci INTERFACE)
target_include_directories(soci SYSTEM INTERFACE ${SOCI_INCLUDE_DIR} ${SOCI_INCLUDE_DIR}/soci
                                                 ${Boost_INCLUDE_DIRS} ${PostgreSQL_INCLUDE_DIRS})
target_link_libraries(soci INTERFACE ${SOCI_SQLITE3_LIBRARY} ${SOCI_POSTGRESQL_LIBRARY}
                                     ${SOCI_CORE_LIBRARY} SQLite::SQLite3 ${PostgreSQL_LIBRARIES}
                                     ${CMAKE_DL_LIBS})
# The undefined-behaviour sanitizer checks dynamic types through typeinfo that the SOCI shared
# libraries do not export, so code built on SOCI's headers cannot link with the vptr check.
if(LEMBRETE_SANITIZE)
    target_compile_options(soci INTERFACE -fno-sanitize=vptr)
endif()

find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets PrintSupport Test)

if(LEMBRETE_BUILD_TESTS)
    find_package(GTest REQUIRED)
    include(GoogleTest)
endif()
if(LEMBRETE_BUILD_BENCH)
    find_package(benchmark REQUIRED)
endif()

# lembrete_library(NAME SOURCES... [DEPS targets...])
# One static library per source folder; dependencies point down the layers only.
function(lembrete_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# lembrete_test(NAME SOURCES... [DEPS targets...] [LABELS labels...])
function(lembrete_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${ARG_LABELS}")
endfunction()
