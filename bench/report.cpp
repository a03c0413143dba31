#include "report.h"

namespace pvbench {

void Report::Row(const std::string &name, const char *unit, const Summary &s) {
  if (!tsv_ && !pendingSection_.empty()) {
    std::fprintf(out_, "\n%-34s %10s %10s %10s  %s\n", pendingSection_.c_str(), "median", "min", "max", "unit");
    pendingSection_.clear();
  }
  if (tsv_)
    std::fprintf(out_, "%s\t%s\t%.3f\t%.3f\t%.3f\t%d\n", name.c_str(), unit, s.median, s.min, s.max, s.runs);
  else
    std::fprintf(out_, "%-34s %10.2f %10.2f %10.2f  %s\n", name.c_str(), s.median, s.min, s.max, unit);
  std::fflush(out_);
}

}  // namespace pvbench
