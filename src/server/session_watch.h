// SessionWatch: keeps a SessionCache true to a PostgreSQL database that several servers and the
// operator command share.
//
// Triggers on SESSAO (createTrigger, schema version 10) notify kChannel whenever a session ends
// or may end early: a logout through any server, an operator disabled, removed or given a new
// password, a session deleted, emptied or changed by hand (anything but a later last use). The
// payload is the session's token hash, empty when the table was emptied. The watch listens on a
// connection of its own (application name "lembrete-sessoes") and forgets each session notified,
// so a session ended anywhere is refused everywhere within the notification's delivery, a few
// milliseconds. The cache serves only while the watch listens: a connection lost, or one that
// leaves a ping unanswered (sent after kPingInterval of quiet, so silence is noticed within two
// intervals), turns it off until the watch listens again (tried kRetryInterval apart). Neither a
// connection being made nor a stop waits on the database: a stop is seen at once.
#pragma once

#include <chrono>
#include <string>
#include <thread>

namespace lembrete {

class SessionCache;
class StoreConnection;

class SessionWatch {
  public:
    static constexpr const char* kChannel = "lembrete_sessoes";
    static constexpr std::chrono::seconds kPingInterval{2};
    static constexpr std::chrono::seconds kRetryInterval{1};
    static constexpr std::chrono::seconds kConnectTimeout{10};

    // `uri` is the PostgreSQL connection URI of the store.
    SessionWatch(std::string uri, SessionCache& cache);
    ~SessionWatch();
    SessionWatch(const SessionWatch&) = delete;
    SessionWatch& operator=(const SessionWatch&) = delete;

    // The trigger that notifies kChannel; nothing on SQLite, where no cache serves.
    static void createTrigger(StoreConnection& connection);

  private:
    class Wakeup {
      public:
        Wakeup();
        ~Wakeup();
        Wakeup(const Wakeup&) = delete;
        Wakeup& operator=(const Wakeup&) = delete;
        int descriptor() const { return descriptor_; }
        void signal() const;

      private:
        int descriptor_;
    };

    void run(const std::stop_token& stop);

    std::string uri_;
    SessionCache& cache_;
    Wakeup wakeup_;
    std::jthread thread_;  // last: it stops and joins before the rest goes
};

}  // namespace lembrete
