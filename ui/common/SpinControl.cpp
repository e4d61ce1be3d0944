#include "ui/common/SpinControl.h"

#include <QStyle>

namespace trimlet {

SpinControl::SpinControl(Qt::Orientation orientation, bool arrowsOnly, QWidget* parent)
    : QScrollBar(orientation, parent), arrowsOnly_(arrowsOnly) {
  setRange(-1, 1);
  setSingleStep(1);
  setPageStep(1);
  setValue(0);
  setFocusPolicy(Qt::StrongFocus);
  if (arrowsOnly_) setFixedSize(sizeHint());
}

QSize SpinControl::sizeHint() const {
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  if (!arrowsOnly_) return QScrollBar::sizeHint();
  return orientation() == Qt::Vertical ? QSize(extent + 2, 2 * extent + 2)
                                       : QSize(2 * extent + 2, extent + 2);
}

}  // namespace trimlet
