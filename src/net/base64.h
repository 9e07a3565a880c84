// Base64 (standard alphabet, with padding) for blobs on the wire, through libsodium.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lembrete::base64 {

std::string encode(std::string_view bytes);
// nullopt when `text` is not canonical base64.
std::optional<std::string> decode(std::string_view text);

}  // namespace lembrete::base64
