// libFuzzer entry: every input is a program of library operations (see operations.h); a broken
// check ends the run like a crash, so that libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "operations.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  pvfuzz::Prepare();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string finding = pvfuzz::RunProgram(data, size);
  if (!finding.empty()) {
    std::fprintf(stderr, "plotvane fuzz: %s\n", finding.c_str());
    std::abort();
  }
  return 0;
}
