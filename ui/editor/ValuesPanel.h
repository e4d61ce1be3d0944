// The "Values" tab: one single value at a time, its raw number and calculated value.
#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>

#include "ui/editor/EditorFields.h"

class QLabel;
class QLineEdit;

namespace trimlet {

class Document;
class DropDown;
class ImageWatch;
class SpinControl;
class TextBox;
class ViewFollower;

class ValuesPanel : public QWidget {
  Q_OBJECT

 public:
  // `document`'s reference tells whether the value differs from the reference image; the boxes
  // follow every change `watch` announces of the value's bytes, so a step never starts from a stale
  // number.
  ValuesPanel(EditorFields& fields, const Document& document, const ImageWatch& watch,
              QWidget* parent = nullptr);

  [[nodiscard]] DropDown* list() const { return cmb0Dim; }

  // The part of the window's reset that concerns this tab: both boxes emptied.
  void clearBoxes();

  void cmb0Dim_Click();
  void scrValue_Change();
  void txtValue_Raw_LostFocus();
  // A number typed in the raw box and not yet written is written, as leaving the box would.
  void writeTyped();

  // Shows the chosen value as the image holds it now (after an undo, say), marks included; a
  // number the user is typing stays, for leaving the box writes it.
  void refresh();
  // The raw box's tip names the reference's value when the value differs from it.
  void showMarks();

 private:
  // The chosen item's bytes in the image, once they are known to fit.
  struct Target {
    const ECU_Item* item = nullptr;
    int first = 0;  // record of the most significant byte
    int bytes = 0;  // 1..4
  };

  // The chosen item when its bytes can be read and written; otherwise nullopt, with `note`
  // (when given) saying why. No entry chosen gives nullopt and an empty note.
  [[nodiscard]] std::optional<Target> chosenTarget(QString* note = nullptr) const;
  // Puts the item's number, as the image holds it, back into the raw box.
  void showStored(const Target& target);
  void showCalculated(const ECU_Item& item, uint64_t raw);
  // Controls usable or not; a non-empty note tells the user why not.
  void setEditable(bool editable, const QString& note);
  void buildLayout();

  EditorFields& fields_;
  const Document& document_;
  ViewFollower* follower_;
  bool RawEntered = false;

  DropDown* cmb0Dim;
  QLabel* lblValue_Xlabel;
  QLabel* lblValue_Raw;
  TextBox* txtValue_Raw;
  QLineEdit* txtValue_Calc;
  SpinControl* scrValue;
  QLabel* lblValue_Note;
};

}  // namespace trimlet
