// The six programs' frames driven without their loops: a scripted pointer path and the keys
// that change their shapes.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace pvbench {

// One program's frame as its own loop draws it (page flip, clear and drawing), minus the
// input reads and magnifier's 10 ms sleep, which are not drawing.
class ProgramDriver {
 public:
  virtual ~ProgramDriver() = default;
  virtual void Frame(int frame) = 0;
};

struct ProgramEntry {
  const char *name;
  std::unique_ptr<ProgramDriver> (*make)();
};

// All six, in the order of the programs' list. Each driver must be made with the window open.
const std::vector<ProgramEntry> &Programs();

}  // namespace pvbench
