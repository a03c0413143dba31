// Frames of the shadow demo drawn on the headless host and read back from the page.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "headless_window.h"
#include "page_colour.h"
#include "pixel_coord.h"
#include "shadow_scene.h"

using namespace shadow;

namespace {

struct Mark {
  int x, y;
};

// The marks that the tested ray function predicts, rounded as the drawing rounds them.
std::vector<Mark> PredictMarks(const ObstacleField &field, Point lamp) {
  std::vector<Mark> marks;
  SweepRays([&](double angle) {
    for (const Point &c : field) {
      if (auto m = RayMark(CastRay(lamp, angle, kRayReach), c, 10)) {
        marks.push_back({demo::PixelCoord(m->x), demo::PixelCoord(m->y)});
      }
    }
  });
  return marks;
}

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
  t = std::fmax(0, std::fmin(1, t));
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

class ShadowFrame : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    pvtest::HeadlessWindow::SetUp();
    black_ = demotest::PageRGB(plotvane::ncBlack);
    white_ = demotest::PageRGB(plotvane::ncWhite);
    yellow_ = demotest::PageRGB(plotvane::ncYellow);
  }

  pvtest::PageImage Draw(int32_t x, int32_t y) {
    TurnPage(scene_);
    DrawShadowFrame(scene_, x, y);
    return pvtest::ReadActivePage();
  }

  ShadowScene scene_;
  COLORREF black_ = 0, white_ = 0, yellow_ = 0;
};

TEST_F(ShadowFrame, WorkedFiguresNearAndFarSide) {
  // Two obstacles in reach; the rest far off the window, out of every ray's reach.
  scene_.obstacles.fill({-5000, -5000});
  scene_.obstacles[0] = {553, 429};
  scene_.obstacles[1] = {247, 429};
  // With the lamp out of reach only the obstacles show.
  const pvtest::PageImage alone = Draw(5000, 5000);
  const pvtest::PageImage img = Draw(400, 300);

  EXPECT_EQ(img.At(400, 300), yellow_);  // where every marking line starts
  // Near side: the mark's circle about (546, 422) and the line to it.
  EXPECT_EQ(img.At(551, 422), yellow_);
  EXPECT_EQ(img.At(546, 417), yellow_);
  EXPECT_EQ(img.At(473, 361), yellow_);
  // Far side: the circle about (239, 435), and the line runs across the obstacle.
  EXPECT_EQ(img.At(234, 435), yellow_);
  int across = 0;
  for (int y = 425; y <= 432; ++y) across += img.At(247, y) == yellow_;
  EXPECT_GT(across, 0);
  // The obstacles are drawn over the marks.
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      if (alone.At(x, y) == white_) {
        ASSERT_EQ(img.At(x, y), white_) << x << "," << y;
      }
    }
  // Nothing else is marked.
  for (int y = 0; y < img.height; ++y)
    for (int x = 600; x < img.width; ++x) ASSERT_EQ(img.At(x, y), black_) << x << "," << y;
  EXPECT_EQ(img.At(400, 200), black_);
}

TEST_F(ShadowFrame, SeededFieldMarksWhereTheRayFunctionSays) {
  scene_.obstacles = ScatterObstacles(20240611, plotvane::ScreenMaxX(), plotvane::ScreenMaxY());
  const Point lamp{400, 300};
  const std::vector<Mark> marks = PredictMarks(scene_.obstacles, lamp);
  ASSERT_GT(marks.size(), 5u);
  const pvtest::PageImage img = Draw(400, 300);

  // Every predicted mark shows its circle (a white obstacle outline may lie on top).
  for (const Mark &m : marks) {
    const int pts[4][2] = {{m.x + 5, m.y}, {m.x - 5, m.y}, {m.x, m.y + 5}, {m.x, m.y - 5}};
    for (const auto &p : pts) {
      if (p[0] < 0 || p[1] < 0 || p[0] >= img.width || p[1] >= img.height) continue;
      const COLORREF c = img.At(p[0], p[1]);
      EXPECT_TRUE(c == yellow_ || c == white_) << "mark at " << m.x << "," << m.y;
    }
  }
  // Every yellow pixel belongs to a predicted mark's circle or line, every white one to an
  // obstacle, and every obstacle in the window shows.
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const COLORREF c = img.At(x, y);
      if (c == yellow_) {
        bool explained = false;
        for (const Mark &m : marks) {
          explained = explained || std::fabs(std::hypot(x - m.x, y - m.y) - 5) <= 1 ||
                      DistanceToSegment(x, y, lamp.x, lamp.y, m.x, m.y) <= 1;
        }
        ASSERT_TRUE(explained) << "stray yellow at " << x << "," << y;
      } else if (c == white_) {
        bool explained = false;
        for (const Point &o : scene_.obstacles) explained = explained || std::fabs(std::hypot(x - o.x, y - o.y) - 10) <= 1;
        ASSERT_TRUE(explained) << "stray white at " << x << "," << y;
      } else {
        ASSERT_EQ(c, black_) << x << "," << y;
      }
    }
  }
  for (const Point &o : scene_.obstacles) {
    if (o.y + 10 < img.height) {
      EXPECT_EQ(img.At(static_cast<int>(o.x), static_cast<int>(o.y) + 10), white_) << o.x << "," << o.y;
    }
  }
}

}  // namespace
