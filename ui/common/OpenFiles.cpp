#include "ui/common/OpenFiles.h"

#include <QString>

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"

namespace trimlet {

bool openImageAndItems(QWidget* parent) {
  const FileResult loaded = Load_BIN();
  const ParseResult parsed = loaded.ok ? Parse_ECU() : ParseResult{};
  setDefaultPointer();
  if (!loaded.ok || parsed.outcome == ParseOutcome::Rejected) {
    const std::string& failure = loaded.ok ? parsed.message : loaded.message;
    showMessage(parent, QString::fromStdString(failure), MessageIcon::Critical);
    return false;
  }
  if (parsed.outcome == ParseOutcome::ItemError)
    showMessage(parent, QString::fromStdString(parsed.message));
  return true;
}

}  // namespace trimlet
