// Large results and large deltas under concurrency, on a real lembrete-server: the server's peak
// memory (VmHWM from /proc) stays bounded however many long replies or deltas are in flight.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <future>
#include <iostream>
#include <nlohmann/json.hpp>
#include <numeric>
#include <random>
#include <thread>

#include "net/json_codec.h"
#include "net/json_rpc_app_server.h"
#include "support/process_memory.h"
#include "support/reminder_deltas.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

constexpr std::size_t kMiB = 1u << 20;
constexpr int kConcurrent = 16;
const Date kFirstDay = Date::fromParts(2030, 1, 1);

std::string rpcBody(const std::string& method, const nlohmann::json& params) {
    return nlohmann::json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}, {"id", 1}}
        .dump();
}

// A server with operator ANA logged in and `count` reminders of hers, 40 a day from kFirstDay on.
class LargeRepliesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.start();
        JsonRpcAppServer client("127.0.0.1", server_.port());
        ASSERT_TRUE(client.Login("ANA", "senha-da-ana").ok());
        token_ = client.token();
    }

    void seed(int count) {
        JsonRpcAppServer client("127.0.0.1", server_.port());
        client.setToken(token_);
        constexpr int kBlock = 10'000;
        for (int done = 0; done < count; done += kBlock) {
            const auto first = client.call("GetPrxAtivPessoalBloco", {"ANA", Variant(kBlock)});
            ASSERT_TRUE(first.ok()) << first.error->message;
            const long long number = std::stoll(first.payload.asString());
            std::vector<Change> changes;
            for (int i = 0; i < kBlock; ++i) {
                const int index = done + i;
                changes.push_back(insertOf(reminderRow(
                    {"ANA", std::to_string(number + i), "Lembrete número " + std::to_string(index),
                     DateTime(kFirstDay.addDays(index / 40),
                              std::chrono::minutes(8 * 60 + index % 40 * 15)),
                     index % 3 == 0 ? "R" : "P"})));
            }
            const auto applied = client.call("SetAfazer", {Variant(reminderDelta(changes))});
            ASSERT_TRUE(applied.ok()) << applied.error->message;
        }
    }

    // The peak memory the server reaches from now on is measured by the next start.
    void restart() {
        server_.stop();
        server_.start();
    }

    httplib::Result post(const std::string& body) const {
        httplib::Client client("127.0.0.1", server_.port());
        client.set_read_timeout(300);
        client.set_write_timeout(300);
        return client.Post(JsonRpcAppServer::kPath, {{"Authorization", "Bearer " + token_}}, body,
                           "application/json");
    }

    std::size_t peak() const { return processMemory(server_.pid(), "VmHWM"); }

    ServerProcess server_;
    std::string token_;
};

TEST_F(LargeRepliesTest, SixteenLongAgendasAtOnceAreStreamedInBoundedMemory) {
    constexpr int kReminders = 100'000;
    seed(kReminders);
    restart();  // the peak of seeding is not this test's
    const std::size_t start = peak();
    const std::string request =
        rpcBody("GetAFazer", {"", "ANA", kFirstDay.iso() + "T00:00:00", true, true, true});

    std::vector<std::future<std::string>> replies;
    for (int i = 0; i < kConcurrent; ++i) {
        replies.push_back(std::async(std::launch::async, [&] {
            const auto answer = post(request);
            return answer && answer->status == 200 ? answer->body : std::string();
        }));
    }
    std::vector<std::string> bodies;
    for (auto& reply : replies) {
        bodies.push_back(reply.get());
    }
    const std::size_t top = peak();
    std::cout << "[ figures  ] 16 x GetAFazer over " << kReminders << " reminders ("
              << bodies.front().size() / kMiB << " MiB each): server peak " << start / kMiB
              << " -> " << top / kMiB << " MiB\n";

    // Every reply is whole and the same; the first holds every reminder once, in order.
    for (const auto& body : bodies) {
        ASSERT_EQ(body, bodies.front());
    }
    simdjson::dom::parser parser;
    simdjson::dom::element document;
    ASSERT_EQ(parser.parse(bodies.front()).get(document), simdjson::SUCCESS);
    const DataPacket packet = json_codec::decodePacket(document["result"].value());
    ASSERT_EQ(packet.rows.size(), static_cast<std::size_t>(kReminders));
    for (std::size_t i = 1; i < packet.rows.size(); ++i) {
        ASSERT_LT(
            std::pair(packet.rows[i - 1][3].asDateTime(),
                      std::stoll(packet.rows[i - 1][1].asString())),
            std::pair(packet.rows[i][3].asDateTime(), std::stoll(packet.rows[i][1].asString())))
            << i;
    }
    // A streamed reply holds a few pieces of 256 KiB, whatever its length: 16 of them stay well
    // under one whole reply's text per call (11 MiB each, 180 MiB together).
    EXPECT_LT(top - start, 48 * kMiB);
}

TEST_F(LargeRepliesTest, SixteenDeltasOf15MiBAtOnceAreAppliedInBoundedMemoryAndGiveItBack) {
    // Each delta inserts reminders under numbers issued for it (references of 90 characters),
    // 15 MiB of JSON text.
    constexpr int kRows = 78'000;
    const std::string padding(70, '.');
    JsonRpcAppServer client("127.0.0.1", server_.port());
    client.setToken(token_);
    std::vector<std::string> bodies;
    for (int delta = 0; delta < kConcurrent; ++delta) {
        std::vector<Change> changes;
        for (int done = 0; done < kRows; done += 10'000) {
            const int block = std::min(10'000, kRows - done);
            const auto first = client.call("GetPrxAtivPessoalBloco", {"ANA", Variant(block)});
            ASSERT_TRUE(first.ok()) << first.error->message;
            const long long number = std::stoll(first.payload.asString());
            for (int i = 0; i < block; ++i) {
                changes.push_back(insertOf(reminderRow(
                    {"ANA", std::to_string(number + i),
                     "Lote " + std::to_string(delta) + " item " + std::to_string(done + i) +
                         padding,
                     DateTime(kFirstDay.addDays((done + i) % 3000), std::chrono::hours(9))})));
            }
        }
        bodies.push_back(R"({"jsonrpc":"2.0","method":"SetAfazer","params":[)" +
                         json_codec::encodePacket(reminderDelta(std::move(changes))) +
                         R"(],"id":1})");
    }
    std::cout << "[ figures  ] delta of " << kRows << " inserts: " << bodies.front().size() / kMiB
              << " MiB\n";
    ASSERT_LT(bodies.front().size(), 16 * kMiB);
    ASSERT_GT(bodies.front().size(), 14 * kMiB);
    restart();
    const std::size_t start = peak();

    std::vector<std::future<std::string>> replies;
    for (const auto& body : bodies) {
        replies.push_back(std::async(std::launch::async, [&] {
            const auto answer = post(body);
            return answer ? answer->body : std::string("sem resposta");
        }));
    }
    for (auto& reply : replies) {
        EXPECT_EQ(nlohmann::json::parse(reply.get(), nullptr, false).value("result", -1), kRows);
    }
    const std::size_t top = peak();
    // The memory is given back once the last replies are out: wait for it, boundedly.
    std::size_t after = processMemory(server_.pid(), "VmRSS");
    for (int wait = 0; wait < 50 && after >= start + 128 * kMiB; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        after = processMemory(server_.pid(), "VmRSS");
    }
    std::cout << "[ figures  ] 16 x 15 MiB deltas: server peak " << start / kMiB << " -> "
              << top / kMiB << " MiB, " << after / kMiB << " MiB after\n";
    // The work budget (160 MiB) lets the parses in a few at a time; what stays after is the
    // connections' page caches and the allocator's scattered free space.
    EXPECT_LT(top - start, 256 * kMiB);
    EXPECT_LT(after, start + 128 * kMiB);
}

// The delta's fields in the order `order` gives, the values of every change moved with them.
nlohmann::json reordered(const DataPacket& delta, const std::vector<std::size_t>& order) {
    auto json = nlohmann::json::parse(json_codec::encodePacket(delta));
    const auto permute = [&](nlohmann::json& list) {
        nlohmann::json moved = nlohmann::json::array();
        for (const auto from : order) {
            moved.push_back(list[from]);
        }
        list = moved;
    };
    permute(json["fields"]);
    for (auto& change : json["changes"]) {
        for (const char* side : {"old", "new"}) {
            if (change.contains(side) && change[side].is_array()) {
                permute(change[side]);
            }
        }
    }
    return json;
}

TEST_F(LargeRepliesTest, TwentyThousandUpdatesInEveryFieldOrderAndNullPatternKeepMemoryBounded) {
    constexpr int kReminders = 20;
    constexpr int kRounds = 1'000;  // 20,000 updates
    JsonRpcAppServer client("127.0.0.1", server_.port());
    client.setToken(token_);
    const auto first = client.call("GetPrxAtivPessoalBloco", {"ANA", Variant(kReminders)});
    ASSERT_TRUE(first.ok());
    std::vector<Row> rows;
    std::vector<Change> inserts;
    for (int i = 0; i < kReminders; ++i) {
        rows.push_back(reminderRow({"ANA", std::to_string(std::stoll(first.payload.asString()) + i),
                                    "Lembrete", DateTime(kFirstDay, std::chrono::hours(9))}));
        inserts.push_back(insertOf(rows.back()));
    }
    ASSERT_TRUE(client.call("SetAfazer", {Variant(reminderDelta(inserts))}).ok());

    std::mt19937 random(11);
    std::vector<std::size_t> order(rows.front().size());
    std::size_t warm = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<Change> updates;
        for (int i = 0; i < kReminders; ++i) {
            Row next = rows[i];
            const unsigned pattern = random();
            next[2] = Variant("Lembrete " + std::to_string(round));
            next[4] = Variant(pattern & 1 ? "R" : "P");
            next[9] = pattern & 2 ? Variant() : Variant(std::to_string(pattern % 999));
            updates.push_back(updateOf(rows[i], next));
            rows[i] = next;
        }
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), random);
        const auto body = nlohmann::json{
            {"jsonrpc", "2.0"},
            {"method", "SetAfazer"},
            {"params", {reordered(reminderDelta(updates), order)}},
            {"id", round}}.dump();
        const auto answer = post(body);
        ASSERT_TRUE(answer) << round;
        ASSERT_EQ(nlohmann::json::parse(answer->body).value("result", -1), kReminders)
            << answer->body;
        if (round == 100) {
            warm = processMemory(server_.pid(), "VmRSS");
        }
    }
    const std::size_t after = processMemory(server_.pid(), "VmRSS");
    std::cout << "[ figures  ] 20,000 updates in " << kRounds << " field orders: RSS "
              << warm / kMiB << " MiB after 100 deltas, " << after / kMiB << " MiB after all\n";
    EXPECT_LT(after, warm + 16 * kMiB);
    const auto agenda =
        client.call("GetAFazer", {"", "ANA", Variant(DateTime(kFirstDay)), true, true, false});
    ASSERT_TRUE(agenda.ok());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(agenda.payload.asPacket().rows.at(i)[9], rows[i][9]) << i;
    }
}

// Sends `request` on a fresh socket, reads the first bytes of the answer and leaves.
void leaveMidReply(int port, const std::string& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(send(fd, request.data(), request.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(request.size()));
    char head[4096];
    EXPECT_GT(recv(fd, head, sizeof head, 0), 0);
    close(fd);
}

TEST_F(LargeRepliesTest, AStreamedReplyKeepsTheConnectionAndALeavingClientFreesItsCall) {
    constexpr int kReminders = 20'000;
    seed(kReminders);
    server_.stop();
    server_.start({"--threads", "4"});
    const std::vector<Variant> arguments = {"",   "ANA", Variant(DateTime(kFirstDay)),
                                            true, true,  true};
    const std::string body =
        rpcBody("GetAFazer", {"", "ANA", kFirstDay.iso() + "T00:00:00", true, true, true});
    const std::string request = std::string("POST ") + JsonRpcAppServer::kPath +
                                " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + token_ +
                                "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                                body;
    // More clients leave halfway than the server has workers (4): each must give its call back.
    for (int i = 0; i < 12; ++i) {
        leaveMidReply(server_.port(), request);
    }
    JsonRpcAppServer client("127.0.0.1", server_.port());
    client.setToken(token_);
    for (int call = 0; call < 2; ++call) {  // the second on the same kept-alive connection
        const auto result = client.call("GetAFazer", arguments);
        ASSERT_TRUE(result.ok()) << result.error->message;
        EXPECT_EQ(result.payload.asPacket().rows.size(), static_cast<std::size_t>(kReminders));
    }
    const auto days = client.call("GetDatasAFazer", {"ANA"});
    EXPECT_TRUE(days.ok());
}

}  // namespace
}  // namespace lembrete::testing
