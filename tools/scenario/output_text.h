// How the runners write what the user saw: one line per event, control characters as
// escapes, and each action as "verb key=value ...". The scenario runner (simulated machine)
// and the window runner (the real window) share it, so that their outputs can be compared.
#pragma once

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

namespace sb::scenario {

// Control characters shown as escapes, so that every dialog text stays on one line.
inline std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned char>(c));
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

// The action as "verb key=value ...", keys in name order.
inline std::string Describe(const nlohmann::json& action) {
  std::string text = action.at("do").get<std::string>();
  for (const auto& [key, value] : action.items()) {
    if (key != "do") text += " " + key + "=" + value.dump();
  }
  return text;
}

}  // namespace sb::scenario
