// SearchIndex: the search keys of every reminder apart from its rows, and a trigram index over
// them, so that a search over all dates finds a rare text without reading the operator's whole
// history (nor the description blobs stored beside the description keys).
//
//   BUSCAATIVPESSOAL  one row per reminder: CDOPERADOR, NRATIVPESS, DSREFEBUSCA (as in
//                     ATIVPESSOAL) and DSDESCBUSCA (as in DESCATIVPESSOAL, null without one);
//                     kept by triggers on those two tables, so every write of a key, by
//                     whatever path (deltas, series, import, undo, an operator removed), keeps
//                     it in step in the same transaction
//   SQLite            an FTS5 table BUSCATRIGRAMA (trigram tokenizer, the keys' bytes as they
//                     are) over it, kept by triggers of its own
//   PostgreSQL        GIN pg_trgm indexes on both keys; where the extension cannot be created
//                     the searches still work, by reading the narrow table
//
// A trigram index finds texts of three characters or more; shorter ones are found by reading
// the narrow table. Both give exactly the rows a substring match of the keys gives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lembrete {

class SqlStatement;
class StoreConnection;
enum class Backend;

class SearchIndex {
  public:
    // The schema step that creates the index and fills it from the stored keys.
    static void create(StoreConnection& connection);

    // Whether the index can find `key` (a folded search key, UTF-8).
    static bool finds(std::string_view key);

    // SQL yielding, as NRACHADO, the numbers of the operator's reminders whose reference or
    // description key contains `key`: through the index when it finds the key, else by reading
    // the operator's keys in the narrow table. Its parameters, of matchKinds, are bound by
    // bindMatch from `first` on.
    static std::string matchingNumbers(Backend backend, std::string_view key);
    static std::string matchKinds(Backend backend, std::string_view key);
    static void bindMatch(SqlStatement& statement, std::size_t first, Backend backend,
                          const std::string& operatorCode, const std::string& key);

    // LIKE pattern for a substring, its wildcards taken literally (ESCAPE '\').
    static std::string containsPattern(std::string_view key);
};

}  // namespace lembrete
