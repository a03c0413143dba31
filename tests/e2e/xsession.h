// End-to-end testing of the real programs: a private X server, the program under test in its
// own process, input through xdotool, and the window's pixels read back from the server.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// Xvfb on a display number nobody uses, stopped by its process id when this goes away.
class XServer {
 public:
  XServer(int width = 1024, int height = 768);
  ~XServer();
  XServer(const XServer &) = delete;
  XServer &operator=(const XServer &) = delete;

  bool ok() const { return display_ >= 0; }
  std::string name() const { return ":" + std::to_string(display_); }

 private:
  int display_ = -1;
  pid_t pid_ = -1;
};

// A picture of a window: 0x00RRGGBB, top row first.
struct Shot {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // Pixels of `rgb` in the rectangle [x0, x1] x [y0, y1] (inclusive, clipped to the picture).
  int count(uint32_t rgb, int x0 = 0, int y0 = 0, int x1 = 1 << 20, int y1 = 1 << 20) const;
  // Saves as PNG (through ImageMagick's convert); false if that failed.
  bool savePng(const std::string &path) const;
};

// A program started on the server, killed if still running when this goes away.
class Program {
 public:
  Program(const XServer &server, const std::string &path, std::vector<std::string> extraEnv = {});
  ~Program();
  Program(const Program &) = delete;
  Program &operator=(const Program &) = delete;

  bool running();
  // Waits for the program to end; its exit status, or nullopt if it did not end in time.
  std::optional<int> waitExit(int timeoutMs);

  // The program's top-level window with this title, waiting until it is mapped.
  unsigned long findWindow(const std::string &title, int timeoutMs = 10000);
  Shot capture(unsigned long window);
  // Captures until `pred` holds (or the time is up); returns the last picture.
  template <class Pred>
  Shot captureUntil(unsigned long window, Pred pred, int timeoutMs = 5000);

  // Input through xdotool, in the window's client coordinates.
  void moveMouse(unsigned long window, int x, int y);
  void xdotool(const std::vector<std::string> &args);
  // The request a close box or window manager sends: WM_DELETE_WINDOW.
  void requestClose(unsigned long window);

  const std::string &stderrText();

 private:
  std::string display_;
  pid_t pid_ = -1;
  std::optional<int> status_;
  std::string errPath_;
  std::string err_;
};

void sleepMs(int ms);

// The same services for a window of this very process (or any other) on `display` (":N").
unsigned long findWindow(const std::string &display, const std::string &title, int timeoutMs,
                         const std::function<bool()> &stillWorth);
void xdotool(const std::string &display, const std::vector<std::string> &args);
// Gives the server's keyboard another layout ("us", "de", "ru"...) with setxkbmap.
bool setKeyboardLayout(const std::string &display, const std::string &layout);
void requestClose(const std::string &display, unsigned long window);

template <class Pred>
Shot Program::captureUntil(unsigned long window, Pred pred, int timeoutMs) {
  Shot shot;
  for (int waited = 0;; waited += 50) {
    shot = capture(window);
    if (pred(shot) || waited >= timeoutMs) return shot;
    sleepMs(50);
  }
}

}  // namespace e2e
