// The editor's history of actions on the image, to undo and redo them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/image.h"

namespace trimlet {

// Each step keeps its records' texts before and after, so undoing puts back exactly what was
// there. The history is bounded: the oldest steps go first once it holds more than kMaxSteps
// steps or kMaxRecords records in all (some 16 MB); the last step is always kept.
class Journal {
 public:
  static constexpr size_t kMaxSteps = 1000;
  static constexpr size_t kMaxRecords = 2'000'000;

  // A new step; what was undone can no longer be redone.
  void record(ImageChange change);

  // The step an undo or a redo would apply; nullptr when there is none.
  [[nodiscard]] const ImageChange* undoStep() const;
  [[nodiscard]] const ImageChange* redoStep() const;

  // Applies that step to the image and returns it (nullptr when there is none).
  const ImageChange* undo();
  const ImageChange* redo();

  [[nodiscard]] size_t steps() const { return done_.size(); }

  // Names the image as the history has made it: equal names, equal bytes. An undo or redo that
  // returns to a state named before returns to exactly those bytes.
  [[nodiscard]] uint64_t state() const { return done_.empty() ? dropped_ : done_.back().id; }

 private:
  struct Step {
    uint64_t id = 0;
    ImageChange change;
  };
  std::deque<Step> done_;
  std::vector<Step> undone_;
  uint64_t lastId_ = 0;
  uint64_t dropped_ = 0;  // the newest step that went for the bound, 0 for none
  size_t records_ = 0;    // in done_ and undone_
};

}  // namespace trimlet
