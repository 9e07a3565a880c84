// Any request body through the server's JSON-RPC entry, in process: the dispatcher, the
// ReminderService and a real SQLite store, sent with the session of a logged-in operator so
// that every method is reached. Every body must get a JSON-RPC 2.0 reply (or none, for a
// notification); an exception that escapes, a sanitizer report, a reply that is not JSON or
// one that reports an internal or database failure is a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "net/json_codec.h"
#include "net/rpc_error_codes.h"
#include "server/operator_accounts.h"
#include "server/reminder_service.h"
#include "server/rpc_dispatcher.h"
#include "server/store.h"

namespace {

using namespace lembrete;

// The operator of the seed corpus: its requests name FUZZ.
constexpr const char* kOperator = "FUZZ";
constexpr const char* kPassword = "senha-do-fuzz";

std::filesystem::path freshFolder() {
    auto folder =
        std::filesystem::temp_directory_path() / ("lembrete-fuzz-rpc-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// A temporary folder, removed when the run ends however many inputs it wrote.
struct Folder {
    std::filesystem::path path = freshFolder();
    ~Folder() { std::filesystem::remove_all(path); }
};

class Server {
  public:
    Server() {
        OperatorAccounts::add(*store_.lease(), kOperator, kPassword);
        logIn();
        // Numbers the seed corpus inserts with: the server takes only numbers it issued.
        call(R"("GetPrxAtivPessoalBloco","params":["FUZZ",50])");
        call(R"("GetPrxNrRepetAtivPess","params":["FUZZ"])");
        call(R"("GetPrxNrRepetAtivPess","params":["FUZZ"])");
    }

    RpcReply handle(std::string_view body) {
        return dispatcher_.handle(body, authorization_, "127.0.0.1");
    }

    void logIn() {
        authorization_ =
            "Bearer " + OperatorAccounts::login(*store_.lease(), kOperator, kPassword).value();
    }

  private:
    void call(const std::string& methodAndParams) {
        const auto reply = handle(R"({"jsonrpc":"2.0","id":0,"method":)" + methodAndParams + "}");
        if (reply.body.find("\"result\"") == std::string::npos) {
            throw std::runtime_error("the fuzzer's setup failed: " + reply.body);
        }
    }

    Folder folder_;
    Store store_{DatabaseLocation::parse("sqlite:" + (folder_.path / "fuzz.db").string()), 1};
    ReminderService service_{store_};
    RpcDispatcher dispatcher_{service_};
    std::string authorization_;
};

Server& server() {
    static Server instance;
    return instance;
}

[[noreturn]] void broken(const char* what, const std::string& body) {
    std::cerr << "fuzz_rpc_request: " << what << "\n  reply: " << body << "\n";
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    server();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const RpcReply reply =
        server().handle(std::string_view(reinterpret_cast<const char*>(data), size));
    if (reply.body.empty()) {
        if (reply.httpStatus != 204) {
            broken("an empty reply that is not a notification's", reply.body);
        }
        return 0;
    }
    simdjson::dom::parser parser;
    simdjson::dom::object object;
    std::string_view version;
    if (parser.parse(reply.body).get(object) != simdjson::SUCCESS ||
        object["jsonrpc"].get(version) != simdjson::SUCCESS || version != "2.0" ||
        (object["result"].error() != simdjson::SUCCESS) ==
            (object["error"].error() != simdjson::SUCCESS)) {
        broken("a reply that is not one JSON-RPC 2.0 result or error", reply.body);
    }
    std::int64_t code = 0;
    if (object["error"]["code"].get(code) != simdjson::SUCCESS) {
        return 0;
    }
    // No input is an internal failure: a bad one is refused with a reason.
    if (code == rpc_error::InternalError || code == rpc_error::StoreFailure) {
        broken("an input answered with an internal or database failure", reply.body);
    }
    // A Logout ended the session: the next inputs get a new one.
    if (code == rpc_error::NotAuthenticated) {
        server().logIn();
    }
    return 0;
}
