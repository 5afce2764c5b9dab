#pragma once
// The JSON of a runtime's state files, read without exceptions: a malformed
// file, or a field of another type than the runtime writes, reads as absent.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace proclens::linux_port {

// The object the text holds; nullopt when it is malformed or holds no object.
std::optional<nlohmann::json> ParseStateObject(std::string_view text);

// object[key] when object is an object and that is a string; empty otherwise.
std::string StringField(const nlohmann::json& object, std::string_view key);

// object[key] when object is an object and that exists; nullptr otherwise.
const nlohmann::json* Field(const nlohmann::json& object, std::string_view key);

// The first string of the array object[key]; empty when there is none.
std::string FirstString(const nlohmann::json& object, std::string_view key);

}  // namespace proclens::linux_port
