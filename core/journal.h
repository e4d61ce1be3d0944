// The editor's history of actions on the image, to undo and redo them.
#pragma once

#include <cstddef>
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

  // Applies that step to the image and returns it (empty when there is none).
  ImageChange undo();
  ImageChange redo();

  [[nodiscard]] size_t steps() const { return done_.size(); }

 private:
  std::deque<ImageChange> done_;
  std::vector<ImageChange> undone_;
  size_t records_ = 0;  // in done_ and undone_
};

}  // namespace trimlet
