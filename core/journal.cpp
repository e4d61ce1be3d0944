#include "core/journal.h"

#include <utility>

namespace trimlet {

void Journal::record(ImageChange change) {
  for (const Step& step : undone_) records_ -= step.change.records.size();
  undone_.clear();
  records_ += change.records.size();
  done_.push_back({++lastId_, std::move(change)});
  while (done_.size() > 1 && (done_.size() > kMaxSteps || records_ > kMaxRecords)) {
    records_ -= done_.front().change.records.size();
    dropped_ = done_.front().id;
    done_.pop_front();
  }
}

const ImageChange* Journal::undoStep() const {
  return done_.empty() ? nullptr : &done_.back().change;
}

const ImageChange* Journal::redoStep() const {
  return undone_.empty() ? nullptr : &undone_.back().change;
}

const ImageChange* Journal::undo() {
  if (done_.empty()) return nullptr;
  undone_.push_back(std::move(done_.back()));
  done_.pop_back();
  putRecords(undone_.back().change, false);
  return &undone_.back().change;
}

const ImageChange* Journal::redo() {
  if (undone_.empty()) return nullptr;
  done_.push_back(std::move(undone_.back()));
  undone_.pop_back();
  putRecords(done_.back().change, true);
  return &done_.back().change;
}

}  // namespace trimlet
