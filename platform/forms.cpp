#include "platform/forms.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <utility>

namespace kvr {

namespace {

// The built-in cursor images are drawn here rather than stored: each is a few outlined
// discs, capsules and boxes on a 32x32 grid, sampled at pixel centres.
constexpr int kSize = 32;

struct CursorPainter {
  std::vector<Byte> mask = std::vector<Byte>(kSize * kSize, 0);
  std::vector<TRGB32> px = std::vector<TRGB32>(kSize * kSize, TRGB32{0, 0, 0, 0});

  template <typename Inside>
  void fill(Inside inside, Byte grey) {
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x)
        if (inside(x + 0.5, y + 0.5)) put(x, y, grey);
  }
  void put(int x, int y, Byte grey) {
    if (x < 0 || y < 0 || x >= kSize || y >= kSize) return;
    mask[y * kSize + x] = 1;
    px[y * kSize + x] = TRGB32{grey, grey, grey, 255};
  }
  void disc(double cx, double cy, double r, Byte grey) {
    fill([=](double x, double y) { return std::hypot(x - cx, y - cy) <= r; }, grey);
  }
  void capsule(double ax, double ay, double bx, double by, double r, Byte grey) {
    fill([=](double x, double y) { return seg_dist(x, y, ax, ay, bx, by) <= r; }, grey);
  }
  // A box with corners rounded by r; (x0, y0) .. (x1, y1) is the core without the rim.
  void box(double x0, double y0, double x1, double y1, double r, Byte grey) {
    fill([=](double x, double y) {
      const double dx = std::max({x0 - x, 0.0, x - x1});
      const double dy = std::max({y0 - y, 0.0, y - y1});
      return std::hypot(dx, dy) <= r;
    }, grey);
  }
  // Black rim one pixel wide around a white body.
  void outlined_capsule(double ax, double ay, double bx, double by, double r) {
    capsule(ax, ay, bx, by, r, 0);
    capsule(ax, ay, bx, by, r - 1.0, 255);
  }
  void hline(int x0, int x1, int y, Byte grey) {
    for (int x = x0; x <= x1; ++x) put(x, y, grey);
  }
  void vline(int x, int y0, int y1, Byte grey) {
    for (int y = y0; y <= y1; ++y) put(x, y, grey);
  }
  // A white border around everything drawn so far keeps the cursor visible on black.
  void halo() {
    std::vector<Byte> m = mask;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        if (m[y * kSize + x]) continue;
        bool near = false;
        for (int dy = -1; dy <= 1 && !near; ++dy)
          for (int dx = -1; dx <= 1 && !near; ++dx) {
            const int nx = x + dx, ny = y + dy;
            near = nx >= 0 && ny >= 0 && nx < kSize && ny < kSize && m[ny * kSize + nx];
          }
        if (near) put(x, y, 255);
      }
  }
  static double seg_dist(double x, double y, double ax, double ay, double bx, double by) {
    const double vx = bx - ax, vy = by - ay;
    const double len2 = vx * vx + vy * vy;
    double t = len2 > 0 ? ((x - ax) * vx + (y - ay) * vy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(x - (ax + t * vx), y - (ay + t * vy));
  }

  HCURSOR finish(const char* name, int hot_x, int hot_y) {
    auto c = std::make_shared<TCursorImage>();
    c->Name = name;
    c->Width = kSize;
    c->Height = kSize;
    c->HotSpotX = hot_x;
    c->HotSpotY = hot_y;
    c->Mask = std::move(mask);
    c->Pixels = std::move(px);
    return c;
  }
};

// Lens centre of the three magnifiers, also their hot spot.
constexpr double kLens = 12.5;

void draw_magnifier(CursorPainter& p) {
  p.capsule(19.5, 19.5, 28.0, 28.0, 2.6, 0);
  // Radii off the half-pixel grid keep the ring free of single-pixel bumps.
  p.disc(kLens, kLens, 9.7, 0);
  p.disc(kLens, kLens, 7.7, 255);
}

HCURSOR make_hand() {
  CursorPainter p;
  // Fingers first: the palm drawn over their bases leaves a knuckle line.
  p.outlined_capsule(5.5, 15.5, 10.0, 21.0, 2.6);  // thumb
  p.outlined_capsule(11.5, 7.5, 11.5, 17.0, 2.6);
  p.outlined_capsule(15.5, 4.5, 15.5, 17.0, 2.6);
  p.outlined_capsule(19.5, 5.5, 19.5, 17.0, 2.6);
  p.outlined_capsule(23.5, 9.5, 23.5, 18.0, 2.4);
  p.box(11.0, 16.0, 23.5, 24.0, 2.5, 0);
  p.box(11.0, 16.0, 23.5, 24.0, 1.5, 255);
  p.vline(13, 8, 15, 0);
  p.vline(17, 6, 15, 0);
  p.vline(21, 8, 15, 0);
  return p.finish("CURHAND", 16, 15);
}

HCURSOR make_zoom_window() {
  CursorPainter p;
  draw_magnifier(p);
  p.hline(8, 16, 8, 0);
  p.hline(8, 16, 16, 0);
  p.vline(8, 8, 16, 0);
  p.vline(16, 8, 16, 0);
  p.halo();
  return p.finish("CURZOOMW", 12, 12);
}

HCURSOR make_zoom_drag() {
  CursorPainter p;
  draw_magnifier(p);
  p.vline(12, 6, 18, 0);
  for (int i = 1; i <= 3; ++i) {
    p.hline(12 - i, 12 + i, 6 + i, 0);
    p.hline(12 - i, 12 + i, 18 - i, 0);
  }
  p.halo();
  return p.finish("CURZOOMD", 12, 12);
}

HCURSOR make_zoom_plus() {
  CursorPainter p;
  draw_magnifier(p);
  for (int d = -1; d <= 1; ++d) {
    p.hline(7, 17, 12 + d, 0);
    p.vline(12 + d, 7, 17, 0);
  }
  p.halo();
  return p.finish("CURZOOMP", 12, 12);
}

struct BuiltInCursors {
  HCURSOR hand = make_hand();
  HCURSOR zoom_window = make_zoom_window();
  HCURSOR zoom_drag = make_zoom_drag();
  HCURSOR zoom_plus = make_zoom_plus();
};

const BuiltInCursors& built_in_cursors() {
  static const BuiltInCursors c;
  return c;
}

std::map<Integer, HCURSOR> standard_cursors() {
  std::map<Integer, HCURSOR> out;
  for (Integer v = crSizeAll; v <= crDefault; ++v) {
    auto c = std::make_shared<TCursorImage>();
    c->Standard = static_cast<TCursor>(v);
    out[v] = c;
  }
  return out;
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

HCURSOR LoadCursor(std::string_view Name) {
  const BuiltInCursors& c = built_in_cursors();
  if (same_name(Name, "CURHAND")) return c.hand;
  if (same_name(Name, "CURZOOMW")) return c.zoom_window;
  if (same_name(Name, "CURZOOMD")) return c.zoom_drag;
  if (same_name(Name, "CURZOOMP")) return c.zoom_plus;
  return nullptr;
}

TScreen::TScreen() : FBuiltIn(standard_cursors()) {}

void TScreen::SetCursor(TCursor Value) {
  std::lock_guard lock(FCursorLock);
  if (Value == FCursor.load(std::memory_order_relaxed)) return;
  FCursor.store(Value, std::memory_order_relaxed);
  if (OnHostCursorChange) OnHostCursorChange(Value);
}

HCURSOR TScreen::Cursors(Integer Index) const {
  if (auto it = FBuiltIn.find(Index); it != FBuiltIn.end()) return it->second;
  std::shared_lock lock(FCursorsLock);
  if (auto it = FCursors.find(Index); it != FCursors.end()) return it->second;
  return FBuiltIn.at(crDefault);
}

void TScreen::SetCursors(Integer Index, HCURSOR Handle) {
  if (FBuiltIn.count(Index)) return;
  HCURSOR old;  // released after the lock
  std::unique_lock lock(FCursorsLock);
  if (Handle) {
    HCURSOR& slot = FCursors[Index];
    old = std::exchange(slot, std::move(Handle));
  } else if (auto it = FCursors.find(Index); it != FCursors.end()) {
    old = std::move(it->second);
    FCursors.erase(it);
  }
}

void TApplication::ProcessMessages() {
  if (OnHostProcessMessages) OnHostProcessMessages();
}

TScreen& Screen() {
  static TScreen screen;
  return screen;
}

TApplication& Application() {
  static TApplication app;
  return app;
}

}  // namespace kvr
