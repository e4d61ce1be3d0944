#include "ui/editor/frmEditor.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "core/bin_file.h"
#include "core/checksum.h"
#include "core/ecu_file.h"
#include "core/file_read.h"
#include "core/file_write.h"
#include "core/image.h"
#include "core/patch.h"
#include "core/recovery.h"
#include "core/settings.h"
#include "core/text.h"
#include "ui/common/Captions.h"
#include "ui/common/ChangeMark.h"
#include "ui/common/DropDown.h"
#include "ui/common/ImageWatch.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"
#include "ui/common/Widgets.h"
#include "ui/editor/ChangesWindow.h"
#include "ui/editor/ChecksumsWindow.h"
#include "ui/editor/FindWindow.h"
#include "ui/editor/FlagsPanel.h"
#include "ui/editor/ValuesPanel.h"
#include "ui/editor/hex/HexPanel.h"
#include "ui/editor/tables/TableGrid.h"
#include "ui/editor/tables/TablePanel.h"

namespace trimlet {

namespace {

constexpr char kUploadExecute[] = "Upload Execute";
constexpr char kSaveBeforeExecute[] = "Save Before Execute (Y/N)";
// The stock image to compare with, and the BIN file it was chosen for.
constexpr char kReferenceFile[] = "Reference File";
constexpr char kReferenceBin[] = "Reference BIN";
// "N" keeps no copy of the BIN file as it was loaded.
constexpr char kKeepOriginal[] = "Keep Original (Y/N)";
// "N" saves the image as it is, checksums and all.
constexpr char kCorrectChecksums[] = "Correct Checksums (Y/N)";

// After a save's failure message: the edits need not be lost with the file.
constexpr char kCopyHint[] =
    "\n\nYour edits are still in the editor: \"Save a copy as…\" in the context menu of any tab "
    "saves them to another file.";

bool correctionOn() {
  return QString::fromStdString(INI_Read(kCorrectChecksums)).left(1).toUpper() != "N";
}

// One pass of the list filling: the items of one class, in file order.
int16_t fillList(const Document& document, DropDown* list, IndexTable& index,
                 bool (*inClass)(const ECU_Item&)) {
  int16_t count = 0;
  for (int i = 1; i <= document.itemCount(); ++i) {
    const ECU_Item& item = document.item(i);
    if (!inClass(item)) continue;
    ++count;
    index[static_cast<size_t>(count)] = static_cast<int16_t>(i);
    list->addItem(itemCaption(item.Name));
  }
  return count;
}

// The fields a table panel shares with the window: its own list, sizes and mode, and the
// map's view.
TableFields tableFields(EditorFields& f, TableKind kind, const Document& document,
                        const ImageWatch& watch) {
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
          f.ArrayRows,
          document,
          watch};
}

}  // namespace

frmEditor::frmEditor(const std::string& binPath, const std::string& ecuPath, QWidget* parent)
    : QDialog(parent),
      document_(binPath, ecuPath, DocumentRole::Editor),
      watch_(new ImageWatch(this)),
      recoveryFlush_(new QTimer(this)),
      SSTab1(new QTabWidget(this)),
      flags_(new FlagsPanel(fields_, document_, *watch_, SSTab1)),
      values_(new ValuesPanel(fields_, document_, *watch_, SSTab1)),
      arrays_(new TablePanel(TableKind::Arrays,
                             tableFields(fields_, TableKind::Arrays, document_, *watch_), SSTab1)),
      maps_(new TablePanel(TableKind::Maps,
                           tableFields(fields_, TableKind::Maps, document_, *watch_), SSTab1)),
      hex_(new HexPanel(fields_.RotAngle, document_, *watch_, SSTab1)),
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
  buildActions();
  recoveryFlush_->setSingleShot(true);
  recoveryFlush_->setInterval(RecoveryWriter::kFlushInterval);
  connect(recoveryFlush_, &QTimer::timeout, this, &frmEditor::flushRecovery);
  connect(watch_, &ImageWatch::imageChanged, this, &frmEditor::imageChanged);
  connect(watch_, &ImageWatch::referenceChanged, this, [this] { markLists(nullptr); });

  connect(SSTab1, &QTabWidget::currentChanged, this, [this](int tab) {
    const int previous = shownTab_;
    shownTab_ = tab;
    SSTab1_Click(previous);
  });
  connect(cmdSave, &QPushButton::clicked, this, &frmEditor::cmdSave_Click);
  connect(cmdUpload, &QPushButton::clicked, this, &frmEditor::cmdUpload_Click);
}

frmEditor::~frmEditor() = default;

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
  tellSettingsWriteProblem(parentWidget());
  fields_.Updating = false;
  fields_.ArrayRaw = true;
  fields_.MapRaw = true;
  fields_.Saved = true;
  ClearVars();
  maps_->setHighlight(false);
  arrays_->setHighlight(false);

  Opening opening = document_.open();
  if (opening.usable)
    for (Notice& notice : document_.readChecksums()) opening.notices.push_back(std::move(notice));
  setDefaultPointer();
  showNotices(parentWidget(), opening.notices);
  if (!opening.usable) return false;
  savedState_ = document_.history().state();
  offerRecovery();
  Fill_Lists();
  setDefaultPointer();
  setWindowTitle(fileCaption("Trimlet", document_.recordCount() - 16));
  restoreReference();
  watch_->announceReference();
  // Said once, of the file as it was opened.
  if (const std::string bad = document_.badChecksums(document_.opened()); !bad.empty())
    showMessage(parentWidget(),
                QString::fromStdString(bad) +
                    (correctionOn() ? " Every save corrects the checksums."
                                    : " \"Checksums…\" in the context menus corrects them."));
  return true;
}

void frmEditor::restoreReference() {
  const IniValue bin = readSetting(kReferenceBin);
  const IniValue file = readSetting(kReferenceFile);
  const std::string& opened = document_.binPath();
  // A path read cut may still be this file's, or name another file: either is refused.
  const bool ours = bin.tooLong ? opened.size() > kIniReadLimit && opened.starts_with(bin.text)
                                : bin.text == opened;
  if (!ours || file.text.empty()) return;
  if (bin.tooLong || file.tooLong) {
    showMessage(parentWidget(),
                QString("The \"%1\" in the settings file is longer than %2 characters, so the "
                        "editor compares with the file as opened.")
                    .arg(file.tooLong ? kReferenceFile : kReferenceBin)
                    .arg(kIniReadLimit));
    return;
  }
  // A stock image chosen for this BIN file before; one that no longer fits is let go.
  ReferenceFile stock = readReference(file.text, document_.opened().size());
  if (stock.problem.empty()) document_.reference().setReference(std::move(stock.bytes), file.text);
}

void frmEditor::offerRecovery() {
  recovery_.start(document_.binPath(), document_.opened());
  bool asked = false;  // one offer an open; more wait for the next
  for (const FoundRecovery& found : findRecoveries(document_.binPath(), document_.opened())) {
    if (found.state == RecoveryState::Empty) {
      discardRecovery(found);
    } else if (found.state != RecoveryState::Matches) {
      showMessage(parentWidget(), QString::fromStdString(found.message));
    } else if (!asked) {
      asked = true;
      const QString when =
          QDateTime::fromMSecsSinceEpoch(
              std::chrono::duration_cast<std::chrono::milliseconds>(found.lastAt.time_since_epoch())
                  .count())
              .toString("yyyy-MM-dd HH:mm:ss");
      const Answer answer = ask(parentWidget(),
                                QString("Trimlet closed without saving %1 to %2 (last at %3). "
                                        "Bring them back?")
                                    .arg(QString::fromStdString(counted(found.changes, "change")),
                                         QString::fromStdString(document_.binPath()), when),
                                DefaultAnswer::Yes, Escape::PutsOff);
      if (answer == Answer::No) discardRecovery(found);
      if (answer != Answer::Yes) continue;
      if (const std::string refused = replayRecovery(found); !refused.empty()) {
        showMessage(parentWidget(), QString::fromStdString(refused));
        continue;
      }
      fields_.Saved = false;
      // The old file goes once the changes brought back are in this session's own.
      recovery_.flush();
      if (!recovery_.pending()) discardRecovery(found);
    }
  }
}

void frmEditor::flushRecovery() {
  recovery_.flush();
  if (recovery_.pending()) recoveryFlush_->start();  // a write that failed is tried again
  if (const std::string problem = recovery_.takeProblem(); !problem.empty())
    showMessage(this, QString::fromStdString(problem), MessageIcon::Critical);
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
  fields_.FlagCount = fillList(document_, flags_->list(), fields_.FlagIndex, isFlagByte);
  fields_.ValueCount = fillList(document_, values_->list(), fields_.ValueIndex, isSingleValue);
  fields_.ArrayCount = fillList(document_, arrays_->list(), fields_.ArrayIndex, isArray);
  fields_.MapCount = fillList(document_, maps_->list(), fields_.MapIndex, isMap);
  for (DropDown* list : {flags_->list(), values_->list(), arrays_->list(), maps_->list()})
    list->setCurrentIndex(-1);
  const int sum = fields_.FlagCount + fields_.ValueCount + fields_.ArrayCount + fields_.MapCount;
  if (sum != document_.declaredItems()) {
    setDefaultPointer();
    showMessage(parentWidget(), kErrorInEcuFile, MessageIcon::None,
                QString::fromStdString(ecuProblemDetails(document_.ecuPath(), kErrorInEcuFile)));
    std::exit(EXIT_FAILURE);  // the whole program ends here, without its closing steps
  }
}

void frmEditor::SSTab1_Click(int /*previousTab*/) {
  hex_->Show_Hex();
  maps_->Draw_Map();
  maps_->setHighlight(false);
  arrays_->setHighlight(false);
}

void frmEditor::correctChecksumsForSave() {
  if (!correctionOn() || !document_.checksums().usable()) return;
  if (correctImageChecksums(document_.checksums().blocks) > 0) fields_.Saved = false;
}

bool frmEditor::saveImage() {
  correctChecksumsForSave();
  // Before the first save over the file, the file as it was loaded is kept beside it.
  if (!originalKept_ && QString::fromStdString(INI_Read(kKeepOriginal)).left(1).toUpper() != "N") {
    const FileResult kept = keepOriginal(document_.binPath(), document_.opened());
    if (!kept.ok) {
      showMessage(this, QString::fromStdString(kept.message) + kCopyHint, MessageIcon::Critical);
      return false;
    }
    // Said once: why no copy was made; the save goes on.
    if (!kept.message.empty()) showMessage(this, QString::fromStdString(kept.message));
    originalKept_ = true;
  }
  setBusyPointer();
  FileResult saved = Save_BIN();
  setDefaultPointer();
  if (saved.changedOnDisk) {
    // Another program's file is never overwritten unasked; No leaves it and the edits as they are.
    if (!askYesNo(this,
                  QString::fromStdString(saved.message) +
                      "\n\nSave your image over it? The file will then hold exactly your "
                      "image; what the other program wrote will be lost.",
                  DefaultAnswer::No))
      return false;
    setBusyPointer();
    saved = Save_BIN(SaveMode::Overwrite);
    setDefaultPointer();
  }
  if (!saved.ok) {
    showMessage(this, QString::fromStdString(saved.message) + kCopyHint, MessageIcon::Critical);
    return false;
  }
  showMessage(this, QString::fromStdString(document_.binPath()).toUpper() + " Saved.");
  fields_.Saved = true;
  savedState_ = document_.history().state();
  recovery_.start(document_.binPath(), imageBytes());  // the steps from here on, against these
  return true;
}

void frmEditor::cmdSave_Click() { saveImage(); }

void frmEditor::cmdUpload_Click() {
  if (INI_Read(kSaveBeforeExecute).empty()) INI_Write(kSaveBeforeExecute, "N");
  tellSettingsWriteProblem(this);
  const QString rule = QString::fromStdString(INI_Read(kSaveBeforeExecute));
  // The upload program must never get a stale file, so a failed save starts nothing.
  if (rule.left(1).toUpper() == "Y" && !saveImage()) return;

  const IniValue stored = readSetting(kUploadExecute);
  // A command read cut would start another program, or this one with other arguments.
  if (stored.tooLong) {
    showMessage(this,
                QString("The upload command in the settings file is longer than %1 characters, "
                        "so Trimlet cannot read it whole and does not start it.")
                    .arg(kIniReadLimit),
                MessageIcon::Critical);
    return;
  }
  const QString command = QString::fromStdString(stored.text);
  if (command.trimmed().isEmpty() || !uploadFileAccepted()) return;
  const QStringList parts = QProcess::splitCommand(command);
  QProcess process;
  process.setProgram(parts.value(0));
  process.setArguments(parts.mid(1));
  if (!process.startDetached())
    showMessage(
        this, "The upload command could not be started:\n" + command + "\n" + process.errorString(),
        MessageIcon::Critical);
}

bool frmEditor::uploadFileAccepted() {
  // The program carries the file as it is on disk, so that is what is checked; a file that
  // cannot be read is the program's to report.
  const FileBytes file = readFileBytes(document_.binPath(), static_cast<size_t>(kMaxBinFileBytes));
  if (file.problem != ReadProblem::None) return true;
  const std::string bad = document_.badChecksums(
      {reinterpret_cast<const uint8_t*>(file.bytes.data()), file.bytes.size()});
  return bad.empty() || ask(this, QString::fromStdString(bad) + " Start the upload anyway?",
                            DefaultAnswer::No, Escape::AnswersNo) == Answer::Yes;
}

bool frmEditor::Form_Unload() {
  // Only a click answers: Esc must not throw the edits away.
  if (!fields_.Saved &&
      ask(this, "BIN File has not been changed. Would you like to save it now?", DefaultAnswer::Yes,
          Escape::Ignored) == Answer::Yes &&
      !saveImage())
    return false;  // the edits are still in memory and can be saved once the cause is mended
  fields_.ArrayCols = fields_.ArrayRows = fields_.MapCols = fields_.MapRows = 0;
  recovery_.remove();  // saved, or thrown away by the user: nothing to bring back
  return true;
}

void frmEditor::reject() {
  if (Form_Unload()) QDialog::reject();
}

void frmEditor::buildActions() {
  const auto make = [this](const QString& name, const QString& text,
                           const QList<QKeySequence>& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcuts(keys);
    addAction(action);
    return action;
  };
  actUndo = make("actUndo", "Undo", {QKeySequence::Undo});
  actRedo =
      make("actRedo", "Redo",
           {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  actCompareWith = make("actCompareWith", "Compare with…", {});
  actCompareAsOpened = make("actCompareAsOpened", "Compare with the BIN file as opened", {});
  actChanges = make("actChanges", "Changes…", {QKeySequence(Qt::CTRL | Qt::Key_D)});
  actChecksums = make("actChecksums", "Checksums…", {});
  actSave = make("actSave", "Save Changes", {QKeySequence(Qt::CTRL | Qt::Key_S)});
  actSaveCopy = make("actSaveCopy", "Save a copy as…", {});
  actFind = make("actFind", "Find item…", {QKeySequence::Find});
  actExportChanges = make("actExportChanges", "Export changes…", {});
  actApplyPatch = make("actApplyPatch", "Apply patch…", {});
  connect(actUndo, &QAction::triggered, this, &frmEditor::undo);
  connect(actRedo, &QAction::triggered, this, &frmEditor::redo);
  connect(actCompareWith, &QAction::triggered, this, &frmEditor::compareWith);
  connect(actCompareAsOpened, &QAction::triggered, this, &frmEditor::compareAsOpened);
  connect(actChanges, &QAction::triggered, this, &frmEditor::showChanges);
  connect(actChecksums, &QAction::triggered, this, &frmEditor::showChecksums);
  connect(actSave, &QAction::triggered, this, &frmEditor::saveByKey);
  connect(actSaveCopy, &QAction::triggered, this, &frmEditor::saveCopyAs);
  connect(actFind, &QAction::triggered, this, &frmEditor::showFind);
  connect(actExportChanges, &QAction::triggered, this, &frmEditor::exportChanges);
  connect(actApplyPatch, &QAction::triggered, this, &frmEditor::applyPatch);

  const auto separator = [this] {
    auto* action = new QAction(this);
    action->setSeparator(true);
    return action;
  };
  const QList<QAction*> menu = {
      actUndo,     actRedo,          separator(),  actCompareWith, actCompareAsOpened,
      actChanges,  actChecksums,     actFind,      separator(),    actSave,
      actSaveCopy, actExportChanges, actApplyPatch};
  // The grids take every key first, so they hold the actions whose shortcuts they pass on.
  const QList<QWidget*> holders = {flags_, values_,         arrays_,      maps_,
                                   hex_,   arrays_->grid(), maps_->grid()};
  for (QWidget* widget : holders) {
    widget->setContextMenuPolicy(Qt::ActionsContextMenu);
    widget->addActions(menu);
  }
}

void frmEditor::imageChanged(const ImageChange& change) {
  recovery_.append(change);
  if (recovery_.pending() && !recoveryFlush_->isActive()) recoveryFlush_->start();
  markLists(&change);
  const ImageChange* undoable = document_.history().undoStep();
  const ImageChange* redoable = document_.history().redoStep();
  actUndo->setEnabled(undoable != nullptr);
  actUndo->setText(undoable ? "Undo: " + QString::fromStdString(undoable->what) : "Undo");
  actRedo->setEnabled(redoable != nullptr);
  actRedo->setText(redoable ? "Redo: " + QString::fromStdString(redoable->what) : "Redo");
}

void frmEditor::undo() {
  if (document_.history().undo() == nullptr) return;
  // Back at the image last saved, there is nothing left to ask about on closing.
  fields_.Saved = document_.history().state() == savedState_;
}

void frmEditor::redo() {
  if (document_.history().redo() == nullptr) return;
  fields_.Saved = document_.history().state() == savedState_;
}

void frmEditor::markLists(const ImageChange* change) {
  markList(flags_->list(), fields_.FlagIndex, fields_.FlagCount, change);
  markList(values_->list(), fields_.ValueIndex, fields_.ValueCount, change);
  markList(arrays_->list(), fields_.ArrayIndex, fields_.ArrayCount, change);
  markList(maps_->list(), fields_.MapIndex, fields_.MapCount, change);
}

void frmEditor::markList(DropDown* list, const IndexTable& index, int16_t count,
                         const ImageChange* change) {
  for (int k = 0; k < std::min<int>(count, list->count()); ++k) {
    const RecordRange& range = document_.itemRange(index[static_cast<size_t>(k) + 1]);
    if (change != nullptr && !change->touches(range.first, range.count)) continue;
    const bool differs = document_.reference().differs(range);
    if (differs == list->itemIcon(k).isNull())
      list->setItemIcon(k, differs ? changeMark() : QIcon());
  }
}

void frmEditor::compareWith() {
  QFileDialog dialog(this, "Compare with",
                     QFileInfo(QString::fromStdString(document_.binPath())).path(), "*.bin");
  dialog.setObjectName("cdiCompare");
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().first();
  ReferenceFile stock = readReference(path.toStdString(), document_.opened().size());
  if (!stock.problem.empty()) {
    showMessage(this, QString::fromStdString(stock.problem), MessageIcon::Critical);
    return;
  }
  document_.reference().setReference(std::move(stock.bytes), path.toStdString());
  watch_->announceReference();
  // The pair is stored whole or not at all: half of it would name another BIN file's stock.
  if (writeSettings({{kReferenceBin, document_.binPath()}, {kReferenceFile, path.toStdString()}}) ==
      IniStored::Refused)
    showMessage(this, QString("Trimlet compares with this file but cannot remember it for the next "
                              "time: a path with a line break or more than %1 characters cannot "
                              "be stored in the settings file.")
                          .arg(kIniReadLimit));
  tellSettingsWriteProblem(this);
}

void frmEditor::compareAsOpened() {
  document_.reference().setReference(document_.opened());
  INI_Write(kReferenceFile, "");
  watch_->announceReference();
  tellSettingsWriteProblem(this);
}

void frmEditor::showChanges() {
  if (changes_ == nullptr) {
    changes_ = new ChangesWindow(document_, *watch_, this);
    connect(changes_, &ChangesWindow::showItem, this, &frmEditor::showItem);
    connect(changes_, &ChangesWindow::reverted, this, [this] { fields_.Saved = false; });
    // Undo and redo reach the editor's history from the window too.
    changes_->addActions({actUndo, actRedo});
    connect(changes_, &ChangesWindow::exportChanges, this, &frmEditor::exportChanges);
  }
  // Shown first, so that the columns fit the rows in sight.
  changes_->show();
  changes_->refresh();
  changes_->raise();
}

void frmEditor::showChecksums() {
  if (checksums_ == nullptr) {
    checksums_ = new ChecksumsWindow(document_, *watch_, this);
    connect(checksums_, &ChecksumsWindow::corrected, this, [this] { fields_.Saved = false; });
  }
  checksums_->refresh();
  checksums_->show();
  checksums_->raise();
}

void frmEditor::saveByKey() {
  values_->writeTyped();
  cmdSave_Click();
}

void frmEditor::saveCopyAs() {
  const QString binPath = QString::fromStdString(document_.binPath());
  QFileDialog dialog(this, "Save a copy as", QFileInfo(binPath).path(), "*.bin");
  dialog.setObjectName("cdiSaveCopy");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, in the program's words
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().first();
  if (QFileInfo(path).isFile() &&
      !askYesNo(this, path + " exists. Replace it with the copy?", DefaultAnswer::No))
    return;
  std::vector<uint8_t> bytes = imageBytes();
  // The copy gets what a save would write; the image itself is left as it is.
  if (correctionOn() && document_.checksums().usable())
    (void)correctChecksums(document_.checksums().blocks, bytes);
  setBusyPointer();
  const FileResult copied = saveCopy(QFile::encodeName(path).toStdString(), bytes);
  setDefaultPointer();
  if (!copied.ok) {
    showMessage(this, QString::fromStdString(copied.message), MessageIcon::Critical);
    return;
  }
  showMessage(this, "A copy of the image was saved as " + path + ". The editor stays on " +
                        binPath + (fields_.Saved ? "." : ", whose edits are not saved yet."));
}

void frmEditor::showFind() {
  if (find_ == nullptr) {
    find_ = new FindWindow(document_, *watch_, this);
    connect(find_, &FindWindow::showItem, this, &frmEditor::showItem);
  }
  find_->start();
}

void frmEditor::exportChanges() {
  const PatchEcu ecu = readPatchEcu(document_.ecuPath(), document_.fileBytes());
  if (!ecu.problem.empty()) {
    showMessage(this, QString::fromStdString(ecu.problem), MessageIcon::Critical);
    return;
  }
  const Patch patch = diffImages(document_.reference().bytes(), imageBytes(), loadedItems(), ecu);
  if (patch.items.empty() && patch.bytes.empty()) {
    showMessage(this, "The image holds no change from the reference: there is nothing to export.");
    return;
  }
  const QFileInfo bin(QString::fromStdString(document_.binPath()));
  QFileDialog dialog(this, "Export changes", bin.path() + "/" + bin.completeBaseName() + ".patch",
                     "*.patch");
  dialog.setObjectName("cdiExportChanges");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().first().toStdString();
  const std::string text = formatPatch(patch);
  const int error = text.size() > kMaxPatchBytes ? EFBIG : replaceFileWhole(path, text);
  if (error != 0)
    showMessage(this,
                QString::fromStdString("The patch file " + path +
                                       " could not be written: " + std::strerror(error) + "."),
                MessageIcon::Critical);
}

void frmEditor::applyPatch() {
  QFileDialog dialog(this, "Apply patch",
                     QFileInfo(QString::fromStdString(document_.binPath())).path(), "*.patch");
  dialog.setObjectName("cdiApplyPatch");
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const std::string path = dialog.selectedFiles().first().toStdString();
  const PatchRead read = readPatchFile(path);
  const PatchEcu ecu = readPatchEcu(document_.ecuPath(), document_.fileBytes());
  const std::string problem =
      !read.ok() ? "The patch is refused: " + patchProblemText(path, read) : ecu.problem;
  if (!problem.empty()) {
    showMessage(this, QString::fromStdString(problem), MessageIcon::Critical);
    return;
  }
  const PatchPlan plan = planPatch(read.patch, imageBytes(), loadedItems(), ecu.sha);
  if (plan.refused()) {
    showMessage(this, QString::fromStdString(plan.refusal), MessageIcon::Critical);
    return;
  }
  const ApplyChoice choice =
      askApply(this, QString::fromStdString(planText(read.patch, plan)), plan.complete(),
               !plan.complete() && plan.count(PatchOutcome::Applied) > 0);
  if (choice == ApplyChoice::Cancel) return;
  const std::string name = QFileInfo(QString::fromStdString(path)).fileName().toStdString();
  if (applyPlanToImage(plan, choice == ApplyChoice::ApplyRest, ecu.blocks, name) > 0)
    fields_.Saved = false;
}

void frmEditor::showItem(int item) {
  const std::tuple<DropDown*, const IndexTable*, int16_t> lists[] = {
      {flags_->list(), &fields_.FlagIndex, fields_.FlagCount},
      {values_->list(), &fields_.ValueIndex, fields_.ValueCount},
      {arrays_->list(), &fields_.ArrayIndex, fields_.ArrayCount},
      {maps_->list(), &fields_.MapIndex, fields_.MapCount}};
  for (const auto& [list, index, count] : lists) {
    for (int k = 1; k <= count; ++k) {
      if ((*index)[static_cast<size_t>(k)] != item) continue;
      SSTab1->setCurrentWidget(list->parentWidget());
      list->setCurrentIndex(k - 1);
      emit list->activated(k - 1);
      raise();
      activateWindow();
      return;
    }
  }
}

}  // namespace trimlet
