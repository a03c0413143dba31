#include "scene_file.h"

#include <cstring>
#include <memory>

namespace reference {
namespace {

constexpr char kMagic[8] = {'P', 'V', 'R', 'E', 'F', '0', '1', '\n'};
// Guards against reading a corrupt length as a huge allocation.
constexpr uint32_t kMaxCount = 1u << 26;
constexpr uint32_t kEndMark = 0xFFFFFFFFu;

void PutU32(std::string &buf, uint32_t v) {
  for (int i = 0; i < 4; ++i) buf.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutString(std::string &buf, const std::string &s) {
  PutU32(buf, static_cast<uint32_t>(s.size()));
  buf += s;
}

class Reader {
 public:
  explicit Reader(std::FILE *in) : in_(in) {}
  bool U32(uint32_t &v) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, in_) != 4) return false;
    v = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return true;
  }
  bool I32(int &v) {
    uint32_t u;
    if (!U32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool String(std::string &s) {
    uint32_t n;
    if (!U32(n) || n > kMaxCount) return false;
    s.resize(n);
    return n == 0 || std::fread(s.data(), 1, n, in_) == n;
  }
  bool Bytes(std::vector<uint8_t> &v, uint32_t n) {
    v.resize(n);
    return n == 0 || std::fread(v.data(), 1, n, in_) == n;
  }

 private:
  std::FILE *in_;
};

}  // namespace

bool WriteHeader(std::FILE *out) { return std::fwrite(kMagic, 1, sizeof kMagic, out) == sizeof kMagic; }

bool WriteEnd(std::FILE *out) {
  std::string buf;
  PutU32(buf, kEndMark);
  return std::fwrite(buf.data(), 1, buf.size(), out) == buf.size() && std::fflush(out) == 0;
}

bool WriteScene(std::FILE *out, const SceneResult &scene) {
  std::string buf;
  PutString(buf, scene.name);
  PutString(buf, scene.error);
  PutU32(buf, static_cast<uint32_t>(scene.width));
  PutU32(buf, static_cast<uint32_t>(scene.height));
  PutU32(buf, static_cast<uint32_t>(scene.bits));
  PutU32(buf, static_cast<uint32_t>(scene.table.size()));
  for (uint32_t c : scene.table) PutU32(buf, c);
  // Indexed pixels fit a byte; 32-bit ones take three.
  const int bytes = scene.bits == 32 ? 3 : 1;
  PutU32(buf, static_cast<uint32_t>(scene.pixels.size()));
  for (uint32_t p : scene.pixels)
    for (int i = 0; i < bytes; ++i) buf.push_back(static_cast<char>((p >> (8 * i)) & 0xFF));
  PutU32(buf, static_cast<uint32_t>(scene.values.size()));
  for (const auto &[label, value] : scene.values) {
    PutString(buf, label);
    PutU32(buf, value);
  }
  // Flushed per scene so that a renderer that dies still leaves the scenes before it.
  return std::fwrite(buf.data(), 1, buf.size(), out) == buf.size() && std::fflush(out) == 0;
}

bool ReadScenes(const std::string &path, std::vector<SceneResult> &scenes, std::string &error) {
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  char magic[sizeof kMagic];
  if (std::fread(magic, 1, sizeof magic, file.get()) != sizeof magic || std::memcmp(magic, kMagic, sizeof magic) != 0) {
    error = path + " is not a scene file";
    return false;
  }
  Reader r(file.get());
  scenes.clear();
  for (;;) {
    SceneResult s;
    uint32_t nameLength;
    if (!r.U32(nameLength)) {
      error = path + ": ends without its end mark after " + std::to_string(scenes.size()) +
              " scenes (the renderer stopped early)";
      return false;
    }
    if (nameLength == kEndMark) return true;
    s.name.resize(nameLength);
    uint32_t tableCount = 0, pixelCount = 0, valueCount = 0;
    bool ok = nameLength <= kMaxCount &&
              (nameLength == 0 || std::fread(s.name.data(), 1, nameLength, file.get()) == nameLength) &&
              r.String(s.error) && r.I32(s.width) && r.I32(s.height) && r.I32(s.bits) && r.U32(tableCount) &&
              tableCount <= 256;
    for (uint32_t i = 0; ok && i < tableCount; ++i) {
      uint32_t c = 0;
      ok = r.U32(c);
      s.table.push_back(c);
    }
    ok = ok && r.U32(pixelCount) && pixelCount <= kMaxCount;
    if (ok) {
      const uint32_t bytes = s.bits == 32 ? 3 : 1;
      std::vector<uint8_t> raw;
      ok = r.Bytes(raw, pixelCount * bytes);
      s.pixels.resize(pixelCount);
      for (uint32_t i = 0; ok && i < pixelCount; ++i) {
        uint32_t p = 0;
        for (uint32_t b = 0; b < bytes; ++b) p |= static_cast<uint32_t>(raw[i * bytes + b]) << (8 * b);
        s.pixels[i] = p;
      }
    }
    ok = ok && r.U32(valueCount) && valueCount <= kMaxCount;
    for (uint32_t i = 0; ok && i < valueCount; ++i) {
      std::string label;
      uint32_t v = 0;
      ok = r.String(label) && r.U32(v);
      s.values.emplace_back(std::move(label), v);
    }
    if (!ok || s.width < 0 || s.height < 0 ||
        static_cast<uint64_t>(s.width) * static_cast<uint64_t>(s.height) != s.pixels.size()) {
      error = path + ": truncated or corrupt after " + std::to_string(scenes.size()) + " scenes";
      return false;
    }
    scenes.push_back(std::move(s));
  }
}

}  // namespace reference
