// Renders every reference scene with the GDI it is linked against (ours natively, the system's
// on Windows) and writes the pixels to a file: reference_scenes <file> | --list
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include "scene.h"
#include "scene_file.h"

using namespace reference;

namespace {

std::vector<Scene> AllScenes() {
  std::vector<Scene> scenes;
  AddLineScenes(scenes);
  AddPixelScenes(scenes);
  AddShapeScenes(scenes);
  AddStrokeScenes(scenes);
  return scenes;
}

SceneResult Render(const Scene &scene) {
  SceneResult result;
  result.name = scene.name;
  Page page(scene.format);
  if (!page.Ok()) {
    result.error = "the page could not be made";
    return result;
  }
  Canvas canvas{page, page.Dc(), result.values};
  scene.draw(canvas);
  GdiFlush();
  result.width = page.Width();
  result.height = page.Height();
  result.bits = page.Bits();
  for (const RGBQUAD &q : page.Table())
    result.table.push_back(static_cast<uint32_t>(q.rgbRed) << 16 | q.rgbGreen << 8 | q.rgbBlue);
  result.pixels.reserve(static_cast<size_t>(page.Width()) * page.Height());
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) result.pixels.push_back(page.Get(x, y));
  return result;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <file> | --list\n", argv[0]);
    return 2;
  }
  const std::vector<Scene> scenes = AllScenes();
  std::set<std::string> names;
  for (const Scene &s : scenes)
    if (!names.insert(s.name).second) {
      std::fprintf(stderr, "two scenes are named %s\n", s.name.c_str());
      return 2;
    }
  if (std::strcmp(argv[1], "--list") == 0) {
    for (const Scene &s : scenes) std::printf("%s\n", s.name.c_str());
    return 0;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> out(std::fopen(argv[1], "wb"), std::fclose);
  if (!out || !WriteHeader(out.get())) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  for (const Scene &s : scenes)
    if (!WriteScene(out.get(), Render(s))) {
      std::fprintf(stderr, "cannot write %s\n", argv[1]);
      return 1;
    }
  if (!WriteEnd(out.get())) return 1;
  return 0;
}
