// The kept fuzz corpus as a regression suite: every input runs as the fuzzer ran it, and must
// pass the same checks (error codes, queue rings, nothing left behind after the close).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "operations.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const auto &entry : fs::directory_iterator(FUZZ_CORPUS))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

TEST(FuzzCorpus, EveryKeptInputPassesItsChecks) {
  const std::vector<fs::path> files = CorpusFiles();
  ASSERT_FALSE(files.empty()) << "no inputs in " << FUZZ_CORPUS;
  pvfuzz::Prepare();
  for (const fs::path &file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(pvfuzz::RunProgram(bytes.data(), bytes.size()), "") << file.filename();
  }
}

}  // namespace
