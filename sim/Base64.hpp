// Base64 for the binary blocks (user data, module data) kept in project files.
#pragma once

#include <optional>
#include <string>

namespace Sim {
std::string EncodeBase64(const std::string& bytes);
std::optional<std::string> DecodeBase64(const std::string& text);
}  // namespace Sim
