#include "ui/common/OpenFiles.h"

#include <QString>
#include <algorithm>

#include "core/bin_file.h"
#include "core/ecu_check.h"
#include "core/ecu_file.h"
#include "core/state.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"

namespace trimlet {

bool openImageAndItems(QWidget* parent) {
  const FileResult loaded = Load_BIN();
  const ParseResult parsed = loaded.ok ? Parse_ECU() : ParseResult{};
  setDefaultPointer();
  if (!loaded.ok || parsed.outcome == ParseOutcome::Rejected) {
    const std::string& failure = loaded.ok ? parsed.message : loaded.message;
    showMessage(parent, QString::fromStdString(failure), MessageIcon::Critical,
                loaded.ok ? ecuProblemDetails(failure.c_str()) : QString());
    return false;
  }
  if (parsed.outcome == ParseOutcome::ItemError)
    showMessage(parent, QString::fromStdString(parsed.message), MessageIcon::None,
                ecuProblemDetails(kEcuFileError));
  return true;
}

QString ecuProblemDetails(const char* message) {
  // The parse keeps no positions; a check of the same file finds them by the same read.
  const CheckedFiles check = checkFiles(ECU_Path, std::string());
  const auto& problems = check.report.problems;
  const auto found = std::find_if(problems.begin(), problems.end(), [&](const Problem& p) {
    return std::find(p.shows.begin(), p.shows.end(), message) != p.shows.end();
  });
  if (found == problems.end() || found->at.line == 0) return {};
  return QString(
             "Line %1, column %2: %3.\n\nChoose \"Check ECU file…\" in the menu of the "
             "main window's ECU file box to see every problem of the file.")
      .arg(found->at.line)
      .arg(found->at.column)
      .arg(QString::fromStdString(found->message));
}

}  // namespace trimlet
