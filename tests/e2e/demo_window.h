// A demonstration program started on a private X server with its window found by caption.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "expectations.h"
#include "xsession.h"

namespace e2e {

// Colours of the stock palette that the named colours resolve to.
inline const uint32_t kBlack = pvtest::Expected("palette", "black");
inline const uint32_t kGrey = pvtest::Expected("palette", "grey");
inline const uint32_t kRed = pvtest::Expected("palette", "red");
inline const uint32_t kWhite = pvtest::Expected("palette", "white");
inline const uint32_t kYellow = pvtest::Expected("palette", "yellow");

class DemoWindow : public ::testing::Test {
 protected:
  void start(const std::string &program, const std::string &caption) {
    server_ = std::make_unique<XServer>();
    ASSERT_TRUE(server_->ok()) << "no X server";
    program_ = std::make_unique<Program>(*server_, program);
    window_ = program_->findWindow(caption);
    ASSERT_NE(window_, 0u) << "no window \"" << caption << "\": " << program_->stderrText();
  }

  Program &program() { return *program_; }
  unsigned long window() const { return window_; }

  void moveTo(int x, int y) { program_->moveMouse(window_, x, y); }
  void key(const std::string &name) { program_->xdotool({"key", "--window", std::to_string(window_), name}); }
  template <class Pred>
  Shot shotWhen(Pred pred, int timeoutMs = 5000) {
    return program_->captureUntil(window_, pred, timeoutMs);
  }
  // Keeps a picture for the README and for a person looking at a failure.
  static void keep(const Shot &shot, const std::string &name) {
    std::filesystem::create_directories(PICTURE_DIR);
    shot.savePng(std::string(PICTURE_DIR) + "/" + name + ".png");
  }
  void expectEndsWithStatusZero() {
    EXPECT_EQ(program_->waitExit(5000), std::optional<int>(0)) << program_->stderrText();
  }

 private:
  std::unique_ptr<XServer> server_;
  std::unique_ptr<Program> program_;
  unsigned long window_ = 0;
};

}  // namespace e2e
