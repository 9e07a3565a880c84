// SessionCache: the sessions this server has lately found live, so that a call need not read its
// session from the database every time.
//
// The cache serves only while something keeps it true to the database (SessionWatch, on
// PostgreSQL), which has it forget every session that ends or may end early, through whichever
// server or by hand. Otherwise it holds nothing and every call reads its session, as on SQLite.
// A session read from the database is kept only when nothing was forgotten since before the read
// began (the generation), so a read that raced a logout never brings the session back. The
// times kept are those stored: whether a session is still live is decided by the caller, from
// them, as for a session read. Thread-safe.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace lembrete {

struct StoredSession {
    std::string operatorCode;
    long long created = 0;  // seconds since the epoch, as in SESSAO
    long long lastUse = 0;
};

class SessionCache {
  public:
    // Far above the live sessions of any one database; past it the cache starts again empty.
    static constexpr std::size_t kMaxSessions = 1u << 16;

    // The session of this token hash as last read or used, when the cache serves and holds it.
    std::optional<StoredSession> find(const std::string& tokenHash) const;

    // Taken before a session is read from the database and handed back with it to remember().
    std::uint64_t generation() const;
    void remember(const std::string& tokenHash, StoredSession session, std::uint64_t generation);
    // The session's use was written to the database at `lastUse`.
    void noteUse(const std::string& tokenHash, long long lastUse);

    // This server ended the session.
    void forget(const std::string& tokenHash);
    // Some session ended somewhere: nothing held can be trusted.
    void clear();

    // Whether the cache is kept true to the database; either way it starts empty.
    void setServing(bool serving);
    bool serving() const;

  private:
    void dropAll();  // with mutex_ held

    // Both change under mutex_ only; read without it, so a cache that does not serve (SQLite)
    // costs a call no lock.
    std::atomic<bool> serving_ = false;
    std::atomic<std::uint64_t> generation_ = 0;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, StoredSession> sessions_;
};

}  // namespace lembrete
