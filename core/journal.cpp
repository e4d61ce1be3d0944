#include "core/journal.h"

#include <utility>

namespace trimlet {

void Journal::record(ImageChange change) {
  for (const ImageChange& step : undone_) records_ -= step.records.size();
  undone_.clear();
  records_ += change.records.size();
  done_.push_back(std::move(change));
  while (done_.size() > 1 && (done_.size() > kMaxSteps || records_ > kMaxRecords)) {
    records_ -= done_.front().records.size();
    done_.pop_front();
  }
}

const ImageChange* Journal::undoStep() const { return done_.empty() ? nullptr : &done_.back(); }

const ImageChange* Journal::redoStep() const { return undone_.empty() ? nullptr : &undone_.back(); }

ImageChange Journal::undo() {
  if (done_.empty()) return {};
  undone_.push_back(std::move(done_.back()));
  done_.pop_back();
  putRecords(undone_.back(), false);
  return undone_.back();
}

ImageChange Journal::redo() {
  if (undone_.empty()) return {};
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  putRecords(done_.back(), true);
  return done_.back();
}

}  // namespace trimlet
