// The one way the program reads an image byte and writes an edited one. Every write of the
// editor goes through here, grouped into the user's actions, so each action can be recorded,
// compared and undone in one place.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/state.h"

namespace trimlet {

// One record an action rewrote: its value text before and after.
struct RecordChange {
  int index = 0;
  std::array<char, 2> before{};
  std::array<char, 2> after{};
};

// How the image came to change: a user's action, the history putting one back or again, or a
// load that filled it anew.
enum class ChangeKind { Action, Undo, Redo, Load };

// What one action did to the image: the records whose text it changed, in index order, each
// once (its text before the action and after it). An undo or redo carries the step it puts
// back or again, records unchanged; a load carries no records and touches every one.
struct ImageChange {
  std::string what;
  std::vector<RecordChange> records;
  ChangeKind kind = ChangeKind::Action;
  // Whether some record holds another byte now, not only another form of the same byte.
  [[nodiscard]] bool changesBytes() const;
  // Whether it changed any of the `count` records from `first` on.
  [[nodiscard]] bool touches(int first, int count) const;
};

// Byte `index` of the image; nullopt outside the image or for a record no load has filled.
[[nodiscard]] std::optional<int> imageByte(int64_t index);

// Every byte of the loaded file as the image holds it now (a record that holds no byte reads 0).
[[nodiscard]] std::vector<uint8_t> imageBytes();

// The record exactly as stored (an edited byte below 0x10 is one digit and a blank).
[[nodiscard]] const BIN_Record& imageRecord(int64_t index);

// Writes a byte as the editing panels do: digits without leading zero, left-aligned. Only
// bytes of the loaded file are ever written. True when the byte the record holds changed.
bool writeImageByte(int64_t index, int value);

// One user action (a click, a key press, a typed entry): every write while it lives belongs to
// it. Actions nest; when the outermost ends, what it changed is announced to every listener. A
// write outside any action is an action of its own.
class ImageAction {
 public:
  explicit ImageAction(std::string what);
  ~ImageAction();
  ImageAction(const ImageAction&) = delete;
  ImageAction& operator=(const ImageAction&) = delete;

  // Names the action once it is known what it did ("+1 on 6 cells of Fuel").
  void rename(std::string what);
};

// Puts the records of a finished action back as they were before it (or after it), without
// making a new action of it, and announces that as an undo (or a redo): the journal's steps.
void putRecords(const ImageChange& change, bool after);

// Announces that a load filled the image anew.
void announceLoad();

using ImageListener = std::function<void(const ImageChange&)>;

// A listener of the image's announcements for as long as the subscription lives. Listeners are
// called in the order they subscribed, once for each finished action, undo, redo and load that
// changed a record.
class ImageSubscription {
 public:
  ImageSubscription() = default;
  explicit ImageSubscription(ImageListener listener);
  ~ImageSubscription();
  ImageSubscription(ImageSubscription&& other) noexcept;
  ImageSubscription& operator=(ImageSubscription&& other) noexcept;
  ImageSubscription(const ImageSubscription&) = delete;
  ImageSubscription& operator=(const ImageSubscription&) = delete;

 private:
  int id_ = 0;
};

}  // namespace trimlet
