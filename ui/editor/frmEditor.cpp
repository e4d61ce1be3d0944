#include "ui/editor/frmEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdlib>

#include "core/bin_file.h"
#include "core/ecu_file.h"
#include "core/settings.h"
#include "ui/common/Captions.h"
#include "ui/common/DropDown.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"
#include "ui/common/OpenFiles.h"
#include "ui/common/Widgets.h"
#include "ui/editor/FlagsPanel.h"
#include "ui/editor/ValuesPanel.h"
#include "ui/editor/hex/HexPanel.h"
#include "ui/editor/tables/TablePanel.h"

namespace trimlet {

namespace {

constexpr char kUploadExecute[] = "Upload Execute";
constexpr char kSaveBeforeExecute[] = "Save Before Execute (Y/N)";

// One pass of the list filling: the items of one class, in file order.
int16_t fillList(DropDown* list, IndexTable& index, bool (*inClass)(const ECU_Item&)) {
  int16_t count = 0;
  const int last = std::min<int>(ECU_Count, kMaxItems);
  for (int i = 1; i <= last; ++i) {
    const ECU_Item& item = ECU_Items[static_cast<size_t>(i)];
    if (!inClass(item)) continue;
    ++count;
    index[static_cast<size_t>(count)] = static_cast<int16_t>(i);
    list->addItem(QString::fromStdString(item.Name));
  }
  return count;
}

// The fields a table panel shares with the window: its own list, sizes and mode, and the
// map's view.
TableFields tableFields(EditorFields& f, TableKind kind) {
  const bool map = kind == TableKind::Maps;
  return {map ? f.MapIndex : f.ArrayIndex,
          map ? f.MapCols : f.ArrayCols,
          map ? f.MapRows : f.ArrayRows,
          map ? f.MapRaw : f.ArrayRaw,
          f.Saved,
          f.RotAngle,
          f.MapMaxX,
          f.MapMinY,
          f.ArrayCols,
          f.ArrayRows};
}

}  // namespace

frmEditor::frmEditor(QWidget* parent)
    : QDialog(parent),
      SSTab1(new QTabWidget(this)),
      flags_(new FlagsPanel(fields_, SSTab1)),
      values_(new ValuesPanel(fields_, SSTab1)),
      arrays_(new TablePanel(TableKind::Arrays, tableFields(fields_, TableKind::Arrays), SSTab1)),
      maps_(new TablePanel(TableKind::Maps, tableFields(fields_, TableKind::Maps), SSTab1)),
      hex_(new HexPanel(fields_.RotAngle, SSTab1)),
      cmdSave(makeButton("cmdSave", "Save Changes", this)),
      cmdUpload(makeButton("cmdUpload", "Upload Changes", this)) {
  setObjectName("frmEditor");
  setWindowTitle(QString("Trimlet Version ") + versionText());
  setSizeGripEnabled(true);
  SSTab1->setObjectName("SSTab1");
  SSTab1->addTab(flags_, "Flags");
  SSTab1->addTab(values_, "Values");
  SSTab1->addTab(arrays_, "Arrays");
  SSTab1->addTab(maps_, "3D Maps");
  SSTab1->addTab(hex_, "Hex");
  buildLayout();

  connect(SSTab1, &QTabWidget::currentChanged, this, [this](int tab) {
    const int previous = shownTab_;
    shownTab_ = tab;
    SSTab1_Click(previous);
  });
  connect(cmdSave, &QPushButton::clicked, this, &frmEditor::cmdSave_Click);
  connect(cmdUpload, &QPushButton::clicked, this, &frmEditor::cmdUpload_Click);
}

void frmEditor::buildLayout() {
  const QString texts[3] = {
      "Trimlet edits the calibration of an engine computer: the flags, values, arrays and "
      "maps that its ECU file describes in the BIN image.",
      "Suggestions and corrections are welcome: tell us what would make Trimlet better.",
      "Contact: trimlet@example.org"};
  auto* notes = new QVBoxLayout;
  for (size_t i = 0; i < Label1.size(); ++i) {
    Label1[i] = makeLabel(QString("Label1(%1)").arg(i), texts[i], this);
    Label1[i]->setWordWrap(true);
    Label1[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notes->addWidget(Label1[i]);
  }
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(cmdSave);
  buttons->addWidget(cmdUpload);
  buttons->addStretch();
  auto* bottom = new QHBoxLayout;
  bottom->addLayout(notes, 1);
  bottom->addLayout(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(SSTab1, 1);
  layout->addLayout(bottom);
  resize(900, 680);
}

bool frmEditor::Form_Load() {
  if (INI_Read(kUploadExecute).empty()) INI_Write(kUploadExecute, "");
  fields_.Updating = false;
  fields_.ArrayRaw = true;
  fields_.MapRaw = true;
  fields_.Saved = true;
  ClearVars();
  maps_->setHighlight(false);
  arrays_->setHighlight(false);

  if (!openImageAndItems(parentWidget())) return false;
  Fill_Lists();
  setDefaultPointer();
  setWindowTitle(fileCaption("Trimlet", BIN_Size - 16));
  return true;
}

void frmEditor::ClearVars() {
  // No entry stays selected either, so unchecking the bit boxes below writes no byte.
  for (DropDown* list : {flags_->list(), values_->list(), arrays_->list(), maps_->list()}) {
    list->setCurrentIndex(-1);
    list->setEditText(QString());
  }
  flags_->uncheckAll();
  values_->clearBoxes();
  arrays_->clearGrid();
  maps_->clearGrid();
  flags_->clearLabels();
  arrays_->clearLabels();
  maps_->clearLabels();
  fields_.ArrayCols = fields_.ArrayRows = fields_.MapCols = fields_.MapRows = 0;
  fields_.MapMaxX = fields_.MapMinY = 0;
  maps_->resetScrollBars();
  fields_.RotAngle = 30;
}

void frmEditor::Fill_Lists() {
  fields_.FlagCount = fillList(flags_->list(), fields_.FlagIndex, isFlagByte);
  fields_.ValueCount = fillList(values_->list(), fields_.ValueIndex, isSingleValue);
  fields_.ArrayCount = fillList(arrays_->list(), fields_.ArrayIndex, isArray);
  fields_.MapCount = fillList(maps_->list(), fields_.MapIndex, isMap);
  for (DropDown* list : {flags_->list(), values_->list(), arrays_->list(), maps_->list()})
    list->setCurrentIndex(-1);
  const int sum = fields_.FlagCount + fields_.ValueCount + fields_.ArrayCount + fields_.MapCount;
  if (sum != ECU_Count) {
    setDefaultPointer();
    showMessage(parentWidget(), kErrorInEcuFile, MessageIcon::None,
                ecuProblemDetails(kErrorInEcuFile));
    std::exit(EXIT_FAILURE);  // the whole program ends here, without its closing steps
  }
}

void frmEditor::SSTab1_Click(int /*previousTab*/) {
  hex_->Show_Hex();
  maps_->Draw_Map();
  maps_->setHighlight(false);
  arrays_->setHighlight(false);
}

bool frmEditor::saveImage() {
  setBusyPointer();
  const FileResult saved = Save_BIN();
  setDefaultPointer();
  if (!saved.ok) {
    showMessage(this, QString::fromStdString(saved.message), MessageIcon::Critical);
    return false;
  }
  showMessage(this, QString::fromStdString(BIN_Path).toUpper() + " Saved.");
  fields_.Saved = true;
  return true;
}

void frmEditor::cmdSave_Click() { saveImage(); }

void frmEditor::cmdUpload_Click() {
  if (INI_Read(kSaveBeforeExecute).empty()) INI_Write(kSaveBeforeExecute, "N");
  const QString rule = QString::fromStdString(INI_Read(kSaveBeforeExecute));
  // The upload program must never get a stale file, so a failed save starts nothing.
  if (rule.left(1).toUpper() == "Y" && !saveImage()) return;

  const QString command = QString::fromStdString(INI_Read(kUploadExecute));
  if (command.trimmed().isEmpty()) return;
  const QStringList parts = QProcess::splitCommand(command);
  QProcess process;
  process.setProgram(parts.value(0));
  process.setArguments(parts.mid(1));
  if (!process.startDetached())
    showMessage(
        this, "The upload command could not be started:\n" + command + "\n" + process.errorString(),
        MessageIcon::Critical);
}

bool frmEditor::Form_Unload() {
  if (!fields_.Saved &&
      askYesNo(this, "BIN File has not been changed. Would you like to save it now?") &&
      !saveImage())
    return false;  // the edits are still in memory and can be saved once the cause is mended
  fields_.ArrayCols = fields_.ArrayRows = fields_.MapCols = fields_.MapRows = 0;
  return true;
}

void frmEditor::reject() {
  if (Form_Unload()) QDialog::reject();
}

}  // namespace trimlet
