// ContainerPath: the lists and dicts a walk over nested values has open.
//
// Rendering and equality walk nested containers with this explicit stack
// instead of recursing on the native one, so nesting is bounded by memory
// alone. A frame is one open container (rendering), or one open pair of
// containers compared with each other (equality), with the position the
// walk has reached in it. The first frames sit in the object itself, so
// shallow walks, nearly all of them, do not allocate; deeper ones go to
// the heap.
//
// A container met again while it is open lies inside itself. Rendering
// marks the containers it has open (Obj::rendering) and so knows that at
// any depth in constant time. Equality cannot mark pairs, and needs less:
// a comparison that meets an open pair again goes round that cycle for
// ever, so it is enough to notice that some pair comes back. Each pair
// opened is compared with one checkpoint on the path, the pair at the
// largest power of two not above the depth of the open frames: a cycle of
// length n entered m levels down is noticed by the time the path is about
// three times the larger of n and m deep, at constant cost a level.
#pragma once

#include <bit>
#include <cstddef>
#include <vector>

#include "values/object.h"

namespace qlr {

class ContainerPath {
 public:
  struct Frame {
    const Obj* first;
    const Obj* second;  // null when one container is walked
    size_t next;        // the position in first to visit next
    bool started;       // whether an item was visited yet
  };

  ContainerPath() = default;
  ContainerPath(const ContainerPath&) = delete;
  ContainerPath& operator=(const ContainerPath&) = delete;

  size_t depth() const { return depth_; }
  bool empty() const { return depth_ == 0; }
  // The frame at position i, 0 the outermost; open invalidates the reference.
  Frame& at(size_t i) { return i < kInlineFrames ? inline_[i] : deep_[i - kInlineFrames]; }
  Frame& top() { return at(depth_ - 1); }

  void open(const Obj* first, const Obj* second = nullptr) {
    Frame frame{first, second, 0, false};
    if (depth_ < kInlineFrames) {
      inline_[depth_] = frame;
    } else {
      deep_.push_back(frame);
    }
    ++depth_;
  }
  void close() {
    if (--depth_ >= kInlineFrames) deep_.pop_back();
  }

  // Whether the pair would close a cycle by the checkpoint rule above.
  bool returnsToCheckpoint(const Obj* first, const Obj* second) {
    if (depth_ == 0) return false;
    const Frame& f = at(std::bit_floor(depth_) - 1);
    return f.first == first && f.second == second;
  }

 private:
  // Frames held without allocating: deeper than this, nesting is rare.
  static constexpr size_t kInlineFrames = 16;

  Frame inline_[kInlineFrames];
  std::vector<Frame> deep_;  // the frames past the first kInlineFrames
  size_t depth_ = 0;
};

}  // namespace qlr
