// The benchmark program run as scripts/bench.sh runs it, on the headless host: every row it
// promises, each a real measurement, and refusals of bad arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Row {
  std::string unit;
  double median = 0, min = 0, max = 0;
  int runs = 0;
};

struct Result {
  int status = -1;
  std::string out;
  std::map<std::string, Row> rows;
  std::vector<std::string> badLines;
};

Result RunBench(const std::string &args) {
  Result r;
  const std::string command = "PLOTVANE_HOST=headless '" PLOTVANE_BENCH_PATH "' " + args + " 2>/dev/null";
  FILE *pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buf[512];
  while (std::fgets(buf, sizeof buf, pipe)) r.out += buf;
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::istringstream lines(r.out);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name;
    Row row;
    char extra;
    if (std::getline(fields, name, '\t') && std::getline(fields, row.unit, '\t') &&
        (fields >> row.median >> row.min >> row.max >> row.runs) && !(fields >> extra))
      r.rows[name] = row;
    else
      r.badLines.push_back(line);
  }
  return r;
}

TEST(BenchProgram, EveryRowIsMeasuredOnTheHeadlessHost) {
  const Result r = RunBench("--tsv --runs 2 --frames 3 --scale 0.01");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(r.badLines.empty()) << r.badLines.front();

  std::vector<std::string> expected;
  for (const char *program : {"thicklens", "magnifier", "flashlight", "mirrorrays", "lightbeam", "shadow"})
    for (const char *what : {"/fps", "/draw", "/present"}) expected.push_back(std::string(program) + what);
  for (int length : {8, 64, 256})
    for (int octant = 0; octant < 8; ++octant)
      expected.push_back("line/oct" + std::to_string(octant) + "/len" + std::to_string(length));
  for (const char *name :
       {"clear/page", "ref/memset-page", "ref/memcpy-window", "line-styled/dotted", "line-styled/dashdot",
        "line-styled/dashed", "line-styled/dashdotdot", "line-styled/user", "line-wide/3", "line-wide/9",
        "pixel/PlotPixel", "ellipse/200x100", "arc/circle-r100", "arc-wide/circle-r100-5", "arc-wide/quarter-100x60-3",
        "polygon/far-corners", "fill/background-256x256",
        "fill/solid-256x256", "fill/horizontal-256x256", "fill/vertical-256x256", "fill/cross-256x256",
        "fill/bdiagonal-256x256", "fill/fdiagonal-256x256", "fill/diagcross-256x256", "fill/user-256x256",
        "fill/hollow-256x256", "text/courier-16", "text/ms-sans-serif-16", "text/times-16", "text/arial-16",
        "text/arial-bold-16", "text/arial-16-upward", "text/width-arial-16", "blit/page-to-window", "present/path"})
    expected.push_back(name);

  EXPECT_EQ(r.rows.size(), expected.size());
  for (const std::string &name : expected) {
    auto it = r.rows.find(name);
    ASSERT_NE(it, r.rows.end()) << name << " missing";
    const Row &row = it->second;
    EXPECT_EQ(row.unit, name.size() > 4 && name.compare(name.size() - 4, 4, "/fps") == 0 ? "fps" : "us") << name;
    EXPECT_EQ(row.runs, 2) << name;
    EXPECT_TRUE(std::isfinite(row.max)) << name;
    EXPECT_GT(row.min, 0.0) << name;
    EXPECT_LE(row.min, row.median) << name;
    EXPECT_LE(row.median, row.max) << name;
  }
}

TEST(BenchProgram, OnlyAndModeNarrowTheRows) {
  const Result r = RunBench("--tsv --runs 1 --frames 2 --mode programs --only shadow");
  ASSERT_EQ(r.status, 0) << r.out;
  ASSERT_EQ(r.rows.size(), 3u) << r.out;
  EXPECT_TRUE(r.rows.count("shadow/draw"));
  const Result p = RunBench("--tsv --runs 1 --scale 0.01 --mode present");
  ASSERT_EQ(p.status, 0) << p.out;
  EXPECT_EQ(p.rows.size(), 2u) << p.out;
}

TEST(BenchProgram, RefusesBadArgumentsWithoutRunning) {
  for (const char *args : {"--runs 0", "--runs x", "--frames", "--mode fast", "--host x11", "--scale -1",
                           "--scale nan", "--bogus"}) {
    const Result r = RunBench(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_TRUE(r.rows.empty()) << args;
  }
}

}  // namespace
