#include "xsession.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

extern char **environ;

namespace e2e {

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {

bool exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// `fd3`, when given, becomes the child's descriptor 3.
pid_t spawn(const std::vector<std::string> &argv, const std::vector<std::string> &env, const std::string &errPath,
            int fd3 = -1) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  int devnull = open("/dev/null", O_RDWR);
  dup2(devnull, 0);
  dup2(devnull, 1);
  int err = errPath.empty() ? devnull : open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  dup2(err, 2);
  if (fd3 == 3)
    fcntl(3, F_SETFD, 0);
  else if (fd3 >= 0)
    dup2(fd3, 3);
  std::vector<char *> args, envp;
  for (auto &a : argv) args.push_back(const_cast<char *>(a.c_str()));
  args.push_back(nullptr);
  for (auto &e : env) envp.push_back(const_cast<char *>(e.c_str()));
  envp.push_back(nullptr);
  execve(args[0], args.data(), envp.data());
  _exit(127);
}

// The environment of this process, less the host choice of the unit tests, on `display`.
std::vector<std::string> childEnv(const std::string &display, const std::vector<std::string> &extra) {
  std::vector<std::string> env;
  for (char **e = environ; *e; ++e) {
    if (strncmp(*e, "DISPLAY=", 8) == 0 || strncmp(*e, "PLOTVANE_HOST=", 14) == 0) continue;
    env.emplace_back(*e);
  }
  env.push_back("DISPLAY=" + display);
  for (const auto &e : extra) {
    std::string key = e.substr(0, e.find('=') + 1);
    std::erase_if(env, [&](const std::string &v) { return v.rfind(key, 0) == 0; });
    env.push_back(e);
  }
  return env;
}

std::string which(const std::string &tool) {
  for (const char *dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
    if (exists(std::string(dir) + tool)) return std::string(dir) + tool;
  return tool;
}

int runTool(const std::vector<std::string> &argv, const std::string &display) {
  pid_t pid = spawn(argv, childEnv(display, {}), "");
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

unsigned long findIn(Display *dpy, Window w, const std::string &title, int depth) {
  char *name = nullptr;
  if (XFetchName(dpy, w, &name) && name) {
    bool match = title == name;
    XFree(name);
    XWindowAttributes attr;
    if (match && XGetWindowAttributes(dpy, w, &attr) && attr.map_state == IsViewable) return w;
  }
  if (depth == 0) return 0;
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  unsigned long found = 0;
  if (XQueryTree(dpy, w, &root, &parent, &children, &n)) {
    for (unsigned int i = 0; i < n && !found; ++i) found = findIn(dpy, children[i], title, depth - 1);
    if (children) XFree(children);
  }
  return found;
}

}  // namespace

XServer::XServer(int width, int height) {
  // Xvfb picks a free display number itself and writes it to descriptor 3 once it listens:
  // choosing one here would race with the other tests starting their servers at the same time.
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return;
  pid_t pid = spawn({which("Xvfb"), "-displayfd", "3", "-screen", "0",
                     std::to_string(width) + "x" + std::to_string(height) + "x24", "-noreset", "-nolisten", "tcp"},
                    childEnv(":0", {}), "", fds[1]);
  close(fds[1]);
  std::string number;
  pollfd p{fds[0], POLLIN, 0};
  char c = 0;
  while (poll(&p, 1, 20000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (c != '\n' || number.empty()) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return;
  }
  display_ = std::stoi(number);
  pid_ = pid;
}

XServer::~XServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
}

int Shot::count(uint32_t rgb, int x0, int y0, int x1, int y1) const {
  int n = 0;
  for (int y = std::max(0, y0); y <= std::min(height - 1, y1); ++y)
    for (int x = std::max(0, x0); x <= std::min(width - 1, x1); ++x) n += at(x, y) == rgb;
  return n;
}

bool Shot::savePng(const std::string &path) const {
  std::string ppm = path + ".ppm";
  {
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    for (uint32_t p : pixels) {
      char rgb[3] = {char(p >> 16), char(p >> 8), char(p)};
      out.write(rgb, 3);
    }
  }
  int rc = runTool({which("convert"), ppm, path}, ":0");
  unlink(ppm.c_str());
  return rc == 0;
}

Program::Program(const XServer &server, const std::string &path, std::vector<std::string> extraEnv)
    : display_(server.name()) {
  char tmpl[] = "/tmp/plotvane-e2e-XXXXXX";
  int fd = mkstemp(tmpl);
  if (fd >= 0) close(fd);
  errPath_ = tmpl;
  pid_ = spawn({path}, childEnv(display_, extraEnv), errPath_);
}

Program::~Program() {
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  unlink(errPath_.c_str());
}

bool Program::running() {
  if (status_ || pid_ <= 0) return false;
  int status;
  if (waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  return true;
}

std::optional<int> Program::waitExit(int timeoutMs) {
  for (int waited = 0; running() && waited < timeoutMs; waited += 20) sleepMs(20);
  running();
  return status_;
}

unsigned long findWindow(const std::string &display, const std::string &title, int timeoutMs,
                         const std::function<bool()> &stillWorth) {
  Display *dpy = XOpenDisplay(display.c_str());
  if (!dpy) return 0;
  unsigned long found = 0;
  for (int waited = 0; !found && waited <= timeoutMs && stillWorth(); waited += 50) {
    found = findIn(dpy, DefaultRootWindow(dpy), title, 3);
    if (!found) sleepMs(50);
  }
  XCloseDisplay(dpy);
  return found;
}

void xdotool(const std::string &display, const std::vector<std::string> &args) {
  std::vector<std::string> argv{which("xdotool")};
  argv.insert(argv.end(), args.begin(), args.end());
  runTool(argv, display);
}

bool setKeyboardLayout(const std::string &display, const std::string &layout) {
  return runTool({which("setxkbmap"), layout}, display) == 0;
}

void requestClose(const std::string &display, unsigned long window) {
  Display *dpy = XOpenDisplay(display.c_str());
  if (!dpy) return;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  ev.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, window, False, NoEventMask, &ev);
  XFlush(dpy);
  XCloseDisplay(dpy);
}

unsigned long Program::findWindow(const std::string &title, int timeoutMs) {
  return e2e::findWindow(display_, title, timeoutMs, [this] { return running(); });
}

Shot Program::capture(unsigned long window) {
  Shot shot;
  Display *dpy = XOpenDisplay(display_.c_str());
  if (!dpy) return shot;
  XWindowAttributes attr;
  if (XGetWindowAttributes(dpy, window, &attr)) {
    if (XImage *img = XGetImage(dpy, window, 0, 0, attr.width, attr.height, AllPlanes, ZPixmap)) {
      shot.width = attr.width;
      shot.height = attr.height;
      shot.pixels.resize(static_cast<size_t>(attr.width) * attr.height);
      for (int y = 0; y < attr.height; ++y)
        for (int x = 0; x < attr.width; ++x)
          shot.pixels[static_cast<size_t>(y) * attr.width + x] = static_cast<uint32_t>(XGetPixel(img, x, y)) & 0xFFFFFF;
      XDestroyImage(img);
    }
  }
  XCloseDisplay(dpy);
  return shot;
}

void Program::xdotool(const std::vector<std::string> &args) { e2e::xdotool(display_, args); }

void Program::moveMouse(unsigned long window, int x, int y) {
  xdotool({"mousemove", "--window", std::to_string(window), std::to_string(x), std::to_string(y)});
}

void Program::requestClose(unsigned long window) { e2e::requestClose(display_, window); }

const std::string &Program::stderrText() {
  std::ifstream in(errPath_);
  std::stringstream ss;
  ss << in.rdbuf();
  err_ = ss.str();
  return err_;
}

}  // namespace e2e
