#include "support/recording_app_server.h"

#include "data/data_packet.h"

namespace lembrete::testing {

std::string RecordingAppServer::describe(std::string_view method,
                                         const std::vector<Variant>& args) {
    std::string text(method);
    text += '(';
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        if (args[i].kind() == VariantKind::Packet) {
            const DataPacket& packet = args[i].asPacket();
            text += "<packet: " + std::to_string(packet.rows.size()) + " rows, " +
                    std::to_string(packet.changes.size()) + " changes>";
        } else {
            text += args[i].toText();
        }
    }
    return text + ')';
}

ServerResult RecordingAppServer::call(std::string_view method, const std::vector<Variant>& args) {
    log_.push_back(describe(method, args));
    return inner_->call(method, args);
}

}  // namespace lembrete::testing
