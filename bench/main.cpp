// plotvane-bench: times the six programs' frames and the library's primitives on one open
// window. Built natively and for Windows, so that scripts/bench.sh can put our platform
// layer and a real GDI side by side.
//   plotvane-bench [--mode all|programs|primitives|present] [--runs N] [--frames N]
//                  [--scale X] [--only TEXT] [--tsv] [--host headless|sdl] [--window WxH]
// --only keeps the rows (programs, primitives) whose name contains TEXT: for profiling one.
// --window opens a bigger window than the programs' 800 x 600: 1280x1024 is mode 8, any
// other size mode 13 (the custom size); its rows carry the size in their names.
#include <plotvane/plotvane.h>
#include <plotvane/session.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "suites.h"

#ifndef _WIN32
#include <pvplatform.h>
#endif

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: plotvane-bench [--mode all|programs|primitives|present] [--runs N] [--frames N]\n"
               "                      [--scale X] [--only TEXT] [--tsv] [--host headless|sdl] [--window WxH]\n");
}

bool ParseInt(const char *text, int &out) {
  char *end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < 1 || v > 1000000) return false;
  out = static_cast<int>(v);
  return true;
}

bool ParseScale(const char *text, double &out) {
  char *end = nullptr;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(v > 0.0 && v <= 1000.0)) return false;
  out = v;
  return true;
}

bool ParseWindow(const char *text, int &width, int &height) {
  char *end = nullptr;
  const long w = std::strtol(text, &end, 10);
  if (end == text || *end != 'x') return false;
  const char *second = end + 1;
  const long h = std::strtol(second, &end, 10);
  if (end == second || *end != '\0' || w < 320 || h < 200 || w > 8192 || h > 8192) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  pvbench::Options options;
  std::string mode = "all", host = "headless";
  int width = 800, height = 600;
  bool tsv = false;
  for (int i = 1; i < argc; ++i) {
    const char *arg = argv[i];
    const char *value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = true;
    if (!std::strcmp(arg, "--tsv")) {
      tsv = true;
      continue;
    }
    if (!value) {
      ok = false;
    } else if (!std::strcmp(arg, "--mode")) {
      mode = value;
      ok = mode == "all" || mode == "programs" || mode == "primitives" || mode == "present";
    } else if (!std::strcmp(arg, "--host")) {
      host = value;
      ok = host == "headless" || host == "sdl";
    } else if (!std::strcmp(arg, "--runs")) {
      ok = ParseInt(value, options.runs);
    } else if (!std::strcmp(arg, "--frames")) {
      ok = ParseInt(value, options.frames);
    } else if (!std::strcmp(arg, "--scale")) {
      ok = ParseScale(value, options.scale);
    } else if (!std::strcmp(arg, "--only")) {
      options.only = value;
    } else if (!std::strcmp(arg, "--window")) {
      ok = ParseWindow(value, width, height);
      if (ok && !(width == 800 && height == 600)) options.window = value;
    } else {
      ok = false;
    }
    if (!ok) {
      Usage();
      return 2;
    }
    ++i;
  }

#ifndef _WIN32
  pvplatform::SetHostKind(host == "sdl" ? pvplatform::HostKind::Sdl : pvplatform::HostKind::Headless);
#endif
  // The programs' own window: 800 x 600, 8-bit pages with a 256-entry palette. A bigger one
  // keeps the pages and the palette.
  int16_t driver = 3, graphMode = 6;
  if (!options.window.empty()) {
#ifndef _WIN32
    // The headless screen must hold the window; the library read its size when it started.
    if (host == "headless") {
      pvplatform::SetHeadlessScreenSize(std::max(width, 2048), std::max(height, 1536));
      plotvane::Session().ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
      plotvane::Session().ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    }
#endif
    graphMode = width == 1280 && height == 1024 ? 8 : 13;
    plotvane::Session().CustomWidth = width;
    plotvane::Session().CustomHeight = height;
  }
  plotvane::OpenGraphWindow(driver, graphMode, "Plotvane bench");
  // A missing standard font face leaves the window open but unshown and without its
  // defaults: figures taken then would time a different thing. No OpenGL does not matter here.
  const int16_t openError = plotvane::GraphError();
  if (!plotvane::GraphActive() || (openError != plotvane::grOk && openError != plotvane::grNoOpenGL)) {
    std::fprintf(stderr, "plotvane-bench: the window could not be opened as the programs open it (error %d)\n",
                 openError);
    if (plotvane::GraphActive()) plotvane::CloseGraphWindow();
    return 1;
  }

  pvbench::Report report(stdout, tsv);
  if (mode == "all" || mode == "programs") pvbench::RunPrograms(report, options);
  if (mode == "all" || mode == "primitives") pvbench::RunPrimitives(report, options);
  if (mode == "present") pvbench::RunPresent(report, options);
  plotvane::CloseGraphWindow();
  return 0;
}
