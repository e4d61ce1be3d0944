// A spin control: a small scroll bar resting at 0 whose arrows move it to -1 or +1.
#pragma once

#include <QScrollBar>

namespace trimlet {

// Range -1..1, steps of 1, resting at 0. It takes the focus when clicked, so a text box's
// lost-focus handler runs before the step. Its handler sets it back to 0, which raises the
// handler once more, as the windows expect.
class SpinControl : public QScrollBar {
  Q_OBJECT

 public:
  // arrowsOnly: as long as its two arrow buttons, so it reads as an up/down control.
  explicit SpinControl(Qt::Orientation orientation, bool arrowsOnly = true,
                       QWidget* parent = nullptr);

  [[nodiscard]] QSize sizeHint() const override;

 private:
  bool arrowsOnly_;
};

}  // namespace trimlet
