// Figures that the desktop's tests and the browser's tests (tests/web) both check, kept once in
// tests/expectations.json: a number there is a decimal or a "0x" string.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace pvtest {

inline uint32_t Expected(const std::string &section, const std::string &key) {
  std::ifstream in(PLOTVANE_EXPECTATIONS);
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  std::smatch block, value;
  if (std::regex_search(all, block, std::regex("\"" + section + "\"\\s*:\\s*\\{([^}]*)\\}"))) {
    const std::string body = block[1];
    if (std::regex_search(body, value, std::regex("\"" + key + "\"\\s*:\\s*\"?(0x[0-9A-Fa-f]+|[0-9]+)\"?")))
      return static_cast<uint32_t>(std::stoul(value[1], nullptr, 0));
  }
  // Read before any test runs: a missing figure must stop the program, not pass as zero.
  std::fprintf(stderr, "%s has no figure %s.%s\n", PLOTVANE_EXPECTATIONS, section.c_str(), key.c_str());
  std::abort();
}

}  // namespace pvtest
