// Rows of figures, printed as they are measured: an aligned table for people, or tab-separated
// fields for scripts/bench.sh to join with the other platform's column.
#pragma once

#include <cstdio>
#include <string>

#include "stats.h"

namespace pvbench {

class Report {
 public:
  Report(std::FILE *out, bool tsv) : out_(out), tsv_(tsv) {}
  // Heads the rows that follow; a section left without rows prints nothing.
  void Section(const std::string &title) { pendingSection_ = title; }
  // `name` has no spaces or tabs; `unit` is "us" (per frame or call) or "fps".
  void Row(const std::string &name, const char *unit, const Summary &s);

 private:
  std::FILE *out_;
  bool tsv_;
  std::string pendingSection_;
};

}  // namespace pvbench
