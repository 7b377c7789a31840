// Picture: the pixels, and the views' changed boxes and flags.
#include "graph/Picture.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <new>
#include <vector>

namespace Graph::Picture {
namespace {

// Mended: an oversized picture would exhaust memory. This is the largest
// side SDL makes a window of; a larger one is refused whatever the view.
constexpr std::uint32_t kMaxExtent = 16384;
constexpr std::size_t kMaxViews = 4;

struct State {
  std::mutex surfaceLock;
  bool have = false;
  std::vector<std::uint32_t> pixels;
  std::uint32_t width = 0, depth = 0;
  // Set and cleared by the views' own threads too; read unlocked by Wake.
  std::array<std::atomic<Viewer*>, kMaxViews> views{};
  std::atomic<std::uint64_t> frames{0};
};

// Made on first use, never freed: views' threads live until the process ends.
State* state = nullptr;

State& S() {
  if (!state) state = new State;
  return *state;
}

Box Union(const Box& a, const Box& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// With the surface lock held: everything changed for every view.
void ChangedEverywhere(State& s) {
  for (auto& slot : s.views) {
    if (Viewer* v = slot.load()) {
      v->changed = kEverything;
      if (!v->dirty.exchange(true)) v->toWake.store(true);
    }
  }
}

}  // namespace

std::mutex& SurfaceLock() { return S().surfaceLock; }

Raster::Canvas Canvas() {
  State& s = S();
  if (!s.have) return {};
  return {s.pixels.data(), s.width, s.depth};
}

bool Make(std::uint32_t width, std::uint32_t depth) {
  State& s = S();
  {
    std::lock_guard lock(s.surfaceLock);
    s.have = false;
    s.pixels = {};
    s.width = s.depth = 0;
    try {
      if (width > kMaxExtent || depth > kMaxExtent) throw std::bad_alloc();
      s.pixels.assign(static_cast<std::size_t>(width) * depth, 0);
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "Graph: no memory for a surface of %u x %u\n", width, depth);
      return false;
    }
    s.have = true;
    s.width = width;
    s.depth = depth;
    ChangedEverywhere(s);
  }
  Wake();
  return true;
}

void Drop() {
  State& s = S();
  std::lock_guard lock(s.surfaceLock);
  s.have = false;
  s.pixels = {};
  s.width = s.depth = 0;
}

bool Drawn(const Box& box) {
  bool wake = false;
  for (auto& slot : S().views) {
    Viewer* v = slot.load();
    if (!v) continue;
    v->changed = Union(v->changed, box);
    if (!v->dirty.exchange(true)) {
      v->toWake.store(true);
      wake = true;
    }
  }
  return wake;
}

void Wake() {
  for (auto& slot : S().views) {
    Viewer* v = slot.load();
    if (v && v->toWake.exchange(false) && v->wake) v->wake();
  }
}

void Attach(Viewer& view) {
  State& s = S();
  {
    std::lock_guard lock(s.surfaceLock);
    bool placed = false;
    for (auto& slot : s.views) {
      if (slot.load() == &view) return;
      Viewer* none = nullptr;
      if (!placed && slot.compare_exchange_strong(none, &view)) placed = true;
    }
    if (!placed) return;
    view.changed = kEverything;
    view.framing.store(false);
    // With no picture yet there is nothing to show: Make tells the view.
    view.dirty.store(s.have);
    view.toWake.store(s.have);
  }
  Wake();
}

void Detach(Viewer& view) {
  State& s = S();
  std::lock_guard lock(s.surfaceLock);
  for (auto& slot : s.views) {
    Viewer* mine = &view;
    slot.compare_exchange_strong(mine, nullptr);
  }
  view.dirty.store(false);
  view.framing.store(false);
  view.toWake.store(false);
}

bool Dirty(const Viewer& view) { return view.dirty.load(); }

Box TakeChanged(Viewer& view) {
  view.framing.store(true);
  view.dirty.store(false);
  const Box box = view.changed;
  view.changed = kNothing;
  return box;
}

void Framed(Viewer& view) {
  S().frames.fetch_add(1);
  view.framing.store(false);
}

std::uint64_t Frames() { return S().frames.load(); }

bool Shown() {
  for (const auto& slot : S().views) {
    const Viewer* v = slot.load();
    // Not while a frame is under way: dirty is cleared as it begins, after
    // framing is raised, so read in the other order.
    if (v && (v->dirty.load() || v->framing.load())) return false;
  }
  return true;
}

}  // namespace Graph::Picture
