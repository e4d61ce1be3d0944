// The byte viewer window: graphs a stretch of the BIN file's bytes as it is on disk.
#pragma once

#include <QDialog>

namespace trimlet {

class frmView : public QDialog {
  Q_OBJECT

 public:
  explicit frmView(QWidget* parent = nullptr);

  // Start-up. False when the window unloaded itself (a refused BIN or rejected ECU file).
  [[nodiscard]] bool Form_Load();
};

}  // namespace trimlet
