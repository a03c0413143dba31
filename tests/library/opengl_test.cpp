// The OpenGL pair: drawing through the page context lands in the page; without OpenGL the
// window still opens and reports -9.
#include "headless_window.h"

#ifdef _WIN32
#include <GL/gl.h>
#else
#include <dlfcn.h>
#endif

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

// The few GL calls the test makes, from wherever the system keeps them.
struct GlCalls {
  void (*clearColor)(float, float, float, float) = nullptr;
  void (*clear)(unsigned) = nullptr;
  void (*finish)() = nullptr;
  bool Loaded() const { return clearColor && clear && finish; }
};

GlCalls LoadGl() {
  GlCalls gl;
#ifdef _WIN32
  gl.clearColor = [](float r, float g, float b, float a) { glClearColor(r, g, b, a); };
  gl.clear = [](unsigned mask) { glClear(mask); };
  gl.finish = [] { glFinish(); };
#else
  void *lib = nullptr;
  for (const char *name : {"libOSMesa.so.8", "libOSMesa.so.6", "libOSMesa.so"})
    if ((lib = dlopen(name, RTLD_NOW | RTLD_LOCAL))) break;
  if (lib) {
    gl.clearColor = reinterpret_cast<decltype(gl.clearColor)>(dlsym(lib, "glClearColor"));
    gl.clear = reinterpret_cast<decltype(gl.clear)>(dlsym(lib, "glClear"));
    gl.finish = reinterpret_cast<decltype(gl.finish)>(dlsym(lib, "glFinish"));
  }
#endif
  return gl;
}

constexpr unsigned kColorBufferBit = 0x4000;

class OpenGL : public pvtest::HeadlessWindow {
 protected:
  OpenGL() { driver_ = 9; }
};

TEST_F(OpenGL, PageContextDrawsIntoThePageOrReportsMissing) {
  if (!S().GLAvailable) {
    // No OpenGL here: the window opened and shows, and the pair is refused.
    EXPECT_TRUE(IsWindowVisible(S().WindowHandle));
    UseGLContext(false);
    EXPECT_EQ(GraphError(), grNoOpenGL);
    FlushGLDrawing();
    EXPECT_EQ(GraphError(), grNoOpenGL);
    GTEST_SKIP() << "no OpenGL on this system; the -9 path was checked";
  }
  const GlCalls gl = LoadGl();
  ASSERT_TRUE(gl.Loaded());
  UseGLContext(false);
  EXPECT_EQ(GraphError(), grOk);
  gl.clearColor(1.0f, 0.0f, 0.0f, 1.0f);
  gl.clear(kColorBufferBit);
  gl.finish();
  FlushGLDrawing();
  EXPECT_EQ(GraphError(), grOk);
  const pvtest::PageImage page = pvtest::ReadActivePage();
  EXPECT_EQ(page.At(10, 10), RGB(255, 0, 0));
  EXPECT_EQ(page.At(799, 599), RGB(255, 0, 0));
  // Drawn on the shown page, it reaches the window too.
  EXPECT_TRUE(pvtest::WaitUntil([] { return pvtest::WindowRGB(400, 300) == RGB(255, 0, 0); }));
}

TEST_F(OpenGL, SwitchingKeepsTheViewAreaAndItsClip) {
  SetViewArea(10, 20, 110, 220, true);
  MoveCursor(5, 5);
  UseGLContext(true);
  if (!S().GLAvailable) GTEST_SKIP() << "no OpenGL on this system";
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_EQ(S().ViewArea.X1, 10);
  EXPECT_EQ(S().ViewArea.Y2, 220);
  EXPECT_TRUE(S().ViewArea.Clip);
  EXPECT_NE(S().ClipRegion, nullptr);
  RECT box{};
  {
    pvtest::SessionLockHeld held;
    GetClipBox(S().PageDC, &box);
  }
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.bottom, 221);
  EXPECT_EQ(S().CursorX, 0);
  EXPECT_EQ(S().CursorY, 0);
}

// Every colour model gets both contexts where OpenGL exists: -9 means no OpenGL, nothing else.
TEST(OpenGLDrivers, EveryDriverOpensWithThePair) {
  const bool haveGl = LoadGl().Loaded();
  for (const int16_t driver : {1, 2, 3, 9}) {
    const int16_t err = pvtest::OpenWindow(driver, 6);
    ASSERT_TRUE(GraphActive()) << driver;
    EXPECT_EQ(err, haveGl ? grOk : grNoOpenGL) << driver;
    EXPECT_EQ(S().GLAvailable, haveGl) << driver;
    CloseGraphWindow();
  }
}

// On an 8-bit page, a GL clear and a GDI line drawn after it both end up in the page, in
// palette colours: GL's pixels reach the page at FlushGLDrawing, and a later meeting (here
// UseGLContext) keeps the line GL did not draw over.
using OpenGLPalette = pvtest::HeadlessWindow;  // driver 3

TEST_F(OpenGLPalette, GlClearAndGdiLineShareAnEightBitPage) {
#ifdef _WIN32
  GTEST_SKIP() << "Wine's GL leaves 8-bit pages untouched";
#endif
  if (!S().GLAvailable) GTEST_SKIP() << "no OpenGL on this system";
  const GlCalls gl = LoadGl();
  ASSERT_TRUE(gl.Loaded());
  SetDrawPage(1);
  UseGLContext(false);
  ASSERT_EQ(GraphError(), grOk);
  gl.clearColor(1.0f, 0.0f, 0.0f, 1.0f);
  gl.clear(kColorBufferBit);
  gl.finish();
  FlushGLDrawing();
  DrawLine(0, 100, 799, 100);  // white
  UseGLContext(false);
  const pvtest::PageImage page = pvtest::ReadPage(1);
  EXPECT_EQ(page.At(10, 10), RGB(252, 0, 0));  // the stock palette's nearest to pure red
  EXPECT_EQ(page.At(799, 599), RGB(252, 0, 0));
  EXPECT_EQ(page.At(400, 100), RGB(252, 252, 252));
  EXPECT_EQ(page.At(400, 101), RGB(252, 0, 0));
}

TEST(OpenGLClosed, RefusedAfterClose) {
  pvtest::OpenWindow(9, 6);
  ASSERT_TRUE(GraphActive());
  CloseGraphWindow();
  UseGLContext(false);
  EXPECT_EQ(GraphError(), grNotOpen);
  EXPECT_FALSE(S().GLAvailable);
}

}  // namespace
