#include "programs.h"

#include <plotvane/plotvane.h>

#include "flashlight_scene.h"
#include "lightbeam_scene.h"
#include "magnifier_scene.h"
#include "mirrorrays_scene.h"
#include "pointer_path.h"
#include "shadow_scene.h"
#include "thicklens_scene.h"

namespace pvbench {
namespace {

// The pointer roams the window but for a 10-pixel margin (10 to 789 across the programs' own).
Area WholeWindow() { return Area{10, 10, plotvane::ScreenMaxX() - 10, plotvane::ScreenMaxY() - 10}; }
// How often the shape keys come: every outline and face gets frames of its own.
constexpr int kKeyEvery = 25;

inline bool KeyDue(int frame) { return frame % kKeyEvery == kKeyEvery - 1; }

class ThickLens : public ProgramDriver {
 public:
  void Frame(int frame) override {
    // The fan is drawn only while the pointer is in the left half; that is the costly frame.
    const PathPoint p = PointerAt(Area{10, 10, (plotvane::ScreenMaxX() + 1) / 2 - 10, plotvane::ScreenMaxY() - 10}, frame);
    if (KeyDue(frame)) thicklens::ApplyKey(state_, thicklens::kSpaceKey);
    thicklens::DrawFrame(state_, p.x, p.y);
  }

 private:
  thicklens::ProgramState state_;
};

class Magnifier : public ProgramDriver {
 public:
  void Frame(int frame) override {
    const PathPoint p = PointerAt(WholeWindow(), frame);
    magnifier::DrawPicture(state_, p.x, p.y);
    magnifier::FlipPages(state_);
    plotvane::ClearScreen();
    // Keys 1 to 8 in turn: every left and right face.
    if (KeyDue(frame)) magnifier::ApplyKey(state_, static_cast<uint8_t>('1' + (frame / kKeyEvery) % 8));
  }

 private:
  magnifier::ProgramState state_;
};

class Flashlight : public ProgramDriver {
 public:
  void Frame(int frame) override {
    const PathPoint p = PointerAt(WholeWindow(), frame);
    flashlight::TurnPage(scene_);
    flashlight::ClearGround();
    flashlight::DrawLampAndShadows(scene_, p.x, p.y);
  }

 private:
  flashlight::FlashlightScene scene_;
};

class MirrorRays : public ProgramDriver {
 public:
  void Frame(int frame) override {
    const PathPoint p = PointerAt(WholeWindow(), frame);
    // A button held for half of every key period draws the backward prolongations.
    const int32_t buttons = (frame / kKeyEvery) % 2 ? plotvane::mbLeft : 0;
    mirrorrays::FlipPages(scene_);
    plotvane::ClearScreen();
    mirrorrays::DrawFrame(scene_, mirrorrays::PointerState{p.x, p.y, buttons});
  }

 private:
  mirrorrays::MirrorScene scene_;
};

class LightBeam : public ProgramDriver {
 public:
  void Frame(int frame) override {
    const PathPoint p = PointerAt(WholeWindow(), frame);
    lightbeam::FlipPages(scene_);
    plotvane::ClearScreen();
    lightbeam::DrawFrame(lightbeam::PointerState{p.x, p.y});
  }

 private:
  lightbeam::BeamScene scene_;
};

class Shadow : public ProgramDriver {
 public:
  // A fixed seed: both platforms scatter the same obstacles.
  Shadow() {
    scene_.obstacles = shadow::ScatterObstacles(20240611u, plotvane::ScreenMaxX(), plotvane::ScreenMaxY());
  }
  void Frame(int frame) override {
    const PathPoint p = PointerAt(WholeWindow(), frame);
    shadow::TurnPage(scene_);
    shadow::DrawShadowFrame(scene_, p.x, p.y);
  }

 private:
  shadow::ShadowScene scene_;
};

template <typename Driver>
std::unique_ptr<ProgramDriver> Make() {
  return std::make_unique<Driver>();
}

}  // namespace

const std::vector<ProgramEntry> &Programs() {
  static const std::vector<ProgramEntry> programs = {
      {"thicklens", Make<ThickLens>},   {"magnifier", Make<Magnifier>}, {"flashlight", Make<Flashlight>},
      {"mirrorrays", Make<MirrorRays>}, {"lightbeam", Make<LightBeam>}, {"shadow", Make<Shadow>},
  };
  return programs;
}

}  // namespace pvbench
