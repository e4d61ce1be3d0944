#include "ui/viewer/frmView.h"

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "ui/common/Captions.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"

namespace trimlet {

frmView::frmView(QWidget* parent) : QDialog(parent) {
  setObjectName("frmView");
  resize(640, 400);
}

bool frmView::Form_Load() {
  const FileResult loaded = Load_BIN();
  const ParseResult parsed = loaded.ok ? Parse_ECU() : ParseResult{};
  const std::string& failure = !loaded.ok ? loaded.message : parsed.message;
  if (!loaded.ok || parsed.outcome == ParseOutcome::Rejected) {
    setDefaultPointer();
    showMessage(parentWidget(), QString::fromStdString(failure), MessageIcon::Critical);
    return false;
  }
  if (parsed.outcome == ParseOutcome::ItemError)
    showMessage(parentWidget(), parsed.message.c_str());
  setDefaultPointer();
  setWindowTitle(fileCaption("Trimscope"));
  return true;
}

}  // namespace trimlet
