// The "Hex" tab: a read-only look at any stretch of the image as a dump and two graphs.
#pragma once

#include <QWidget>

#include "ui/editor/EditorFields.h"

namespace trimlet {

class HexPanel : public QWidget {
  Q_OBJECT

 public:
  HexPanel(EditorFields& fields, QWidget* parent = nullptr);

  // Rebuilds both graphs from the three fields.
  void Show_Hex();

 private:
  EditorFields& fields_;
};

}  // namespace trimlet
