#include "ui/editor/ChecksumsWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/checksum.h"
#include "core/document.h"
#include "core/hex.h"
#include "core/image.h"
#include "ui/common/ViewFollower.h"
#include "ui/common/Widgets.h"

namespace trimlet {

namespace {

QString rangesText(const ChecksumBlock& block) {
  const auto join = [](const std::vector<ByteRange>& ranges) {
    QStringList parts;
    for (const ByteRange& range : ranges)
      parts << QString::fromStdString(numberToHex(range.first) + "-" + numberToHex(range.last));
    return parts.join(", ");
  };
  QString text = join(block.ranges);
  if (!block.excluded.empty()) text += " without " + join(block.excluded);
  return text;
}

}  // namespace

ChecksumsWindow::ChecksumsWindow(const Document& document, const ImageWatch& watch, QWidget* parent)
    : QDialog(parent),
      document_(document),
      follower_(new ViewFollower(
          this, watch, [](const ImageChange&) { return true; }, [this] { refresh(); })),
      note_(makeLabel("lblChecksumsNote", QString(), this)),
      table_(new QTableWidget(this)),
      correct_(makeButton("cmdCorrectNow", "Correct now", this)) {
  setObjectName("frmChecksums");
  setWindowTitle("Checksums");
  note_->setWordWrap(true);
  table_->setObjectName("grdChecksums");
  table_->setColumnCount(5);
  table_->setHorizontalHeaderLabels({"Name", "Ranges", "Stored", "Computed", "Check"});
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(correct_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note_);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
  resize(720, 260);
  connect(correct_, &QPushButton::clicked, this, &ChecksumsWindow::correctNow);
}

void ChecksumsWindow::refresh() {
  follower_->caughtUp();
  const ChecksumSection& section = document_.checksums();
  const bool usable = section.usable();
  const std::vector<ChecksumValue> values =
      usable ? checkChecksums(section.blocks, imageBytes()) : std::vector<ChecksumValue>{};
  note_->setText(!section.at      ? "The ECU file declares no checksums."
                 : !usable        ? "The checksum section of the ECU file has errors, so its "
                                    "checksums are neither checked nor corrected. \"Check ECU "
                                    "file…\" in the main window shows them."
                 : values.empty() ? "The checksum section of the ECU file has no blocks."
                                  : QString());
  note_->setVisible(!note_->text().isEmpty());
  table_->setRowCount(static_cast<int>(values.size()));
  bool anyBad = false;
  for (size_t i = 0; i < values.size(); ++i) {
    const ChecksumBlock& block = section.blocks[i];
    const ChecksumValue& value = values[i];
    anyBad = anyBad || (value.fits && !value.ok());
    const QString cells[] = {
        QString::fromStdString(block.name), rangesText(block),
        value.fits ? QString::fromStdString(checksumText(value.stored, block.size)) : QString(),
        value.fits ? QString::fromStdString(checksumText(value.computed, block.size)) : QString(),
        !value.fits  ? "past the end of the image"
        : value.ok() ? "OK"
                     : "BAD"};
    for (int column = 0; column < 5; ++column) {
      QTableWidgetItem* cell = table_->item(static_cast<int>(i), column);
      if (cell == nullptr)
        table_->setItem(static_cast<int>(i), column, cell = new QTableWidgetItem);
      cell->setText(cells[column]);
    }
  }
  table_->resizeColumnsToContents();
  correct_->setEnabled(anyBad);
}

void ChecksumsWindow::correctNow() {
  if (correctImageChecksums(document_.checksums().blocks) > 0) emit corrected();
  refresh();
}

}  // namespace trimlet
