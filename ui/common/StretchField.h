// One number of a stretch of the image that the Hex tab and the viewer graph: a start address,
// a count of columns or rows.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QLabel;
class QWidget;

namespace trimlet {

class SpinControl;
class TextBox;

// A caption, a text box and a spin control, named lbl<Name>, txt<Name> and vsc<Name>, and the
// text the box last held in its normal form: a step starts from it when the box holds no
// number, and the window keeps the box within its bounds through it.
class StretchField {
 public:
  StretchField(const QString& name, const QString& caption, std::string initial, QWidget* parent);

  [[nodiscard]] QLabel* label() const { return label_; }
  [[nodiscard]] TextBox* box() const { return box_; }
  [[nodiscard]] SpinControl* spin() const { return spin_; }
  [[nodiscard]] std::string text() const;
  [[nodiscard]] const std::string& last() const { return last_; }

  // The step of the arrows or of leaving the box: the text stepped by `rule` from the spin
  // control's value (+1 for the top arrow), then the control set back to 0, which raises its
  // handler once more; that pass finds 0 and steps nothing.
  using Rule = std::string (*)(std::string_view text, std::string_view last, int step);
  void step(Rule rule);
  // The box holds `text` from now on, its normal form.
  void settle(const std::string& text);

 private:
  QLabel* label_;
  TextBox* box_;
  SpinControl* spin_;
  std::string last_;
};

}  // namespace trimlet
