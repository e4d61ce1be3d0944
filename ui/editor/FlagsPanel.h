// The "Flags" tab: one flag byte at a time, its eight bits as captioned check boxes.
#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "ui/editor/EditorFields.h"

class QCheckBox;
class QLabel;

namespace trimlet {

class Document;
class DropDown;
class ImageWatch;
class ViewFollower;

class FlagsPanel : public QWidget {
  Q_OBJECT

 public:
  // `document`'s reference tells which bits differ from the reference image; the boxes follow every
  // change `watch` announces of the chosen byte, so a click never writes stale bits.
  FlagsPanel(EditorFields& fields, const Document& document, const ImageWatch& watch,
             QWidget* parent = nullptr);

  [[nodiscard]] DropDown* list() const { return cmbFlag; }

  // The parts of the window's reset that concern this tab.
  void uncheckAll();
  void clearLabels();

  void cmbFlag_Click();
  void chkFlag_Click(int16_t Index);

  // Shows the chosen byte as the image holds it now (after an undo, say), marks included.
  void refresh();
  // Marks each bit that differs from the reference beside its box.
  void showMarks();

 private:
  // The record of the chosen flag byte when it lies in the loaded file; otherwise nullopt,
  // with `note` (when given) saying why.
  [[nodiscard]] std::optional<int> chosenRecord(QString* note = nullptr) const;
  // The record of the byte on show: none while no entry is chosen.
  [[nodiscard]] std::optional<int> shownRecord() const;
  // Sets the boxes from the byte without writing it back.
  void showBits(int byte, bool usable);
  void buildLayout();

  EditorFields& fields_;
  const Document& document_;
  ViewFollower* follower_;
  DropDown* cmbFlag;
  std::array<QCheckBox*, 8> chkFlag{};
  std::array<QLabel*, 8> lblFlag_Yaxis{};
  std::array<QLabel*, 8> lblFlag_Mark{};
  QLabel* lblFlag_Ylabel;
  QLabel* lblFlag_Xlabel;
  QLabel* lblFlag_Xaxis;
  QLabel* lblFlag_Note;
};

}  // namespace trimlet
