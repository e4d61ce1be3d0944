#include "ui/editor/hex/HexPanel.h"

namespace trimlet {

HexPanel::HexPanel(EditorFields& fields, QWidget* parent) : QWidget(parent), fields_(fields) {}

void HexPanel::Show_Hex() {}

}  // namespace trimlet
