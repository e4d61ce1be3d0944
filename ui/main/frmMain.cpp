#include "ui/main/frmMain.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/ecu_file.h"
#include "core/settings.h"
#include "core/state.h"
#include "ui/check/CheckWindow.h"
#include "ui/common/Captions.h"
#include "ui/common/Messages.h"
#include "ui/common/MousePointer.h"
#include "ui/common/Widgets.h"
#include "ui/editor/frmEditor.h"
#include "ui/viewer/frmView.h"

// The badge lives in the UI library's resources; a static library must register them itself,
// or the linker drops them, and the macro may not stand inside a namespace.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace trimlet {

namespace {

constexpr char kBinLocation[] = "BIN Location";
constexpr char kEcuLocation[] = "ECU Location";
constexpr int kRecentPairs = 10;

std::string recentKey(const char* kind, int n) {
  return "Recent " + std::string(kind) + " " + std::to_string(n);
}

using PathPair = std::pair<std::string, std::string>;

// The pairs opened last, newest first; a pair missing a half, or read cut, is none.
std::vector<PathPair> recentPairs() {
  std::vector<PathPair> pairs;
  for (int n = 1; n <= kRecentPairs; ++n) {
    const IniValue bin = readSetting(recentKey("BIN", n));
    const IniValue ecu = readSetting(recentKey("ECU", n));
    if (!bin.text.empty() && !ecu.text.empty() && !bin.tooLong && !ecu.tooLong)
      pairs.emplace_back(bin.text, ecu.text);
  }
  return pairs;
}

// Puts the pair first among the recent ones; all of them are stored in one write, so a pair
// is there whole or not at all (a path that could not be read back whole keeps it out).
void rememberPair(const PathPair& opened) {
  std::vector<PathPair> pairs{opened};
  for (PathPair& pair : recentPairs())
    if (pair != opened && pairs.size() < kRecentPairs) pairs.push_back(std::move(pair));
  std::vector<std::string> keys;
  for (int n = 1; n <= static_cast<int>(pairs.size()); ++n)
    keys.insert(keys.end(), {recentKey("BIN", n), recentKey("ECU", n)});
  IniEntries entries;
  for (size_t k = 0; k < pairs.size(); ++k) {
    entries.emplace_back(keys[2 * k], pairs[k].first);
    entries.emplace_back(keys[2 * k + 1], pairs[k].second);
  }
  (void)writeSettings(entries);
}

QFileDialog* makeDialog(const QString& name, const QString& title, const QString& pattern,
                        QWidget* parent) {
  auto* dialog = new QFileDialog(parent, title);
  dialog->setObjectName(name);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setNameFilter(pattern);
  return dialog;
}

// The folder part of a path, up to and including its last separator; empty when it has none.
QString folderOf(const QString& path) {
  int last = path.lastIndexOf('/');
  if (QDir::separator() == '\\') last = std::max(last, static_cast<int>(path.lastIndexOf('\\')));
  return last < 0 ? QString() : path.left(last + 1);
}

// Where a file dialog starts: the folder of its box's path, else that of the other box's,
// else the home folder (a folder that does not exist would open the file system's root).
QString startFolder(const QString& path, const QString& other) {
  for (const QString& named : {path, other}) {
    const QString folder = folderOf(named);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
  }
  return QDir::homePath();
}

bool isEcuPath(const QString& path) { return path.right(4).toUpper() == ".ECU"; }

enum class FileCheck { Found, NotFound, Failed };

// Opens the file for reading and closes it again, as the check before opening a window.
FileCheck checkReadable(const QString& path, QString& reason) {
  const QByteArray native = QFile::encodeName(path);
  const QFileInfo info(path);
  if (info.isDir()) {
    reason = QString::fromLocal8Bit(std::strerror(EISDIR));
    return FileCheck::Failed;
  }
  // A pipe or a device would block the opening, or never end; only plain files are images.
  if (info.exists() && !info.isFile()) {
    reason = path + " is not a regular file.";
    return FileCheck::Failed;
  }
  // Without blocking: the file may have become a pipe since the look above.
  const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return FileCheck::NotFound;
    reason = QString::fromLocal8Bit(std::strerror(errno));
    return FileCheck::Failed;
  }
  ::close(fd);
  return FileCheck::Found;
}

}  // namespace

frmMain::frmMain(QWidget* parent)
    : QWidget(parent),
      txtBIN(new QLineEdit(this)),
      txtECU(new QLineEdit(this)),
      cmdBIN(makeButton("cmdBIN", "Select BIN File", this)),
      cmdECU(makeButton("cmdECU", "Select ECU File", this)),
      cmdECU_Edit(makeButton("cmdECU_Edit", "&Edit File", this)),
      cmdView(makeButton("cmdView", "&View", this)),
      picBadge(new QLabel(this)),
      cdiBIN(makeDialog("cdiBIN", "Select BIN File", "*.bin", this)),
      cdiECU(makeDialog("cdiECU", "Select ECU File", "*.ecu", this)) {
  setObjectName("frmMain");
  txtBIN->setObjectName("txtBIN");
  txtECU->setObjectName("txtECU");
  picBadge->setObjectName("picBadge");
  initResources();
  picBadge->setPixmap(QPixmap(":/trimlet/badge.png"));
  txtBIN->setMinimumWidth(360);

  auto* layout = new QGridLayout(this);
  layout->addWidget(picBadge, 0, 0, 2, 1, Qt::AlignTop);
  layout->addWidget(txtBIN, 0, 1);
  layout->addWidget(cmdBIN, 0, 2);
  layout->addWidget(txtECU, 1, 1);
  layout->addWidget(cmdECU, 1, 2);
  auto* actions = new QHBoxLayout;
  actions->addStretch();
  actions->addWidget(cmdECU_Edit);
  actions->addWidget(cmdView);
  layout->addLayout(actions, 2, 0, 1, 3);
  layout->setColumnStretch(1, 1);

  connect(cmdBIN, &QPushButton::clicked, this, &frmMain::cmdBIN_Click);
  connect(cmdECU, &QPushButton::clicked, this, &frmMain::cmdECU_Click);
  connect(cmdECU_Edit, &QPushButton::clicked, this, &frmMain::cmdECU_Edit_Click);
  connect(cmdView, &QPushButton::clicked, this, &frmMain::cmdView_Click);
  for (QLineEdit* box : {txtBIN, txtECU}) {
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QLineEdit::customContextMenuRequested, this,
            [this, box](const QPoint& at) { showPathMenu(box, at); });
    box->installEventFilter(this);
  }
  setAcceptDrops(true);
  Form_Load();
}

void frmMain::Form_Load() {
  setWindowTitle(QString("Trimlet Version ") + versionText());
  QStringList notes;
  const std::string problem = settingsFileProblem();
  if (!problem.empty())
    notes << QString::fromStdString(problem) +
                 " The file boxes start empty, and Trimlet leaves the file as it is.";
  showLocation(txtBIN, kBinLocation, notes);
  showLocation(txtECU, kEcuLocation, notes);
  // Once the window is up, so the message has the window it speaks of behind it.
  if (!notes.isEmpty())
    QTimer::singleShot(0, this, [this, notes] { showMessage(this, notes.join("\n\n")); });
}

void frmMain::showLocation(QLineEdit* box, const char* key, QStringList& notes) {
  const IniValue value = readSetting(key);
  // A path read cut names another file: the box stays empty rather than show it.
  if (value.tooLong)
    notes << QString(
                 "The \"%1\" in the settings file is longer than %2 characters, so its box "
                 "starts empty.")
                 .arg(key)
                 .arg(kIniReadLimit);
  box->setText(value.tooLong ? QString() : QString::fromStdString(value.text));
  stored_[box] = value.found ? std::optional(box->text()) : std::nullopt;
}

void frmMain::storeLocation(QLineEdit* box, const char* key) {
  INI_Write(key, box->text().toStdString());
  stored_[box] = box->text();
}

void frmMain::Form_Unload() {
  // A value the user did not change is never rewritten: the file may hold it in a form this
  // window cannot show (too long, quoted).
  if (stored_[txtBIN] != txtBIN->text()) storeLocation(txtBIN, kBinLocation);
  if (stored_[txtECU] != txtECU->text()) storeLocation(txtECU, kEcuLocation);
  tellSettingsWriteProblem(this);
}

void frmMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void frmMain::chooseFile(QLineEdit* box, QLineEdit* other, QFileDialog* dialog,
                         const QString& pattern) {
  dialog->setDirectory(startFolder(box->text(), other->text()));
  dialog->selectFile(pattern);
  if (dialog->exec() != QDialog::Accepted) return;
  const QStringList files = dialog->selectedFiles();
  if (files.isEmpty() || QFileInfo(files.first()).fileName().startsWith('*')) return;
  box->setText(QDir::toNativeSeparators(files.first()));
}

void frmMain::cmdBIN_Click() { chooseFile(txtBIN, txtECU, cdiBIN, "*.bin"); }

void frmMain::cmdECU_Click() { chooseFile(txtECU, txtBIN, cdiECU, "*.ecu"); }

bool frmMain::checkFiles() {
  if (txtBIN->text().isEmpty() || txtECU->text().isEmpty()) {
    showMessage(this, "A BIN File, and An ECU File are required");
    return false;
  }
  const std::pair<QLineEdit*, QString> files[] = {{txtBIN, "BIN File"}, {txtECU, "ECU File"}};
  for (const auto& [box, kind] : files) {
    QString reason;
    switch (checkReadable(box->text(), reason)) {
      case FileCheck::Found:
        break;
      case FileCheck::NotFound:
        showMessage(this, kind + " Not Found");
        return false;
      case FileCheck::Failed:
        showMessage(this, reason);
        return false;
    }
  }
  if (!isEcuPath(txtECU->text())) {
    showMessage(this, kIncorrectEcuName);
    return false;
  }
  return true;
}

void frmMain::open(Target target) {
  if (!checkFiles()) return;
  setBusyPointer();
  BIN_Path = txtBIN->text().toStdString();
  ECU_Path = txtECU->text().toStdString();
  storeLocation(txtBIN, kBinLocation);
  storeLocation(txtECU, kEcuLocation);
  rememberPair({BIN_Path, ECU_Path});
  tellSettingsWriteProblem(this);
  if (target == Target::Editor) {
    frmEditor editor(BIN_Path, ECU_Path, this);
    if (editor.Form_Load()) editor.exec();
  } else {
    frmView viewer(BIN_Path, ECU_Path, this);
    if (viewer.Form_Load()) viewer.exec();
  }
  setDefaultPointer();
}

void frmMain::cmdECU_Edit_Click() { open(Target::Editor); }

void frmMain::cmdView_Click() { open(Target::Viewer); }

void frmMain::showPathMenu(QLineEdit* box, const QPoint& at) {
  QMenu* menu = box->createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addSeparator();
  QMenu* recent = menu->addMenu("Recent");
  recent->setObjectName("mnuRecent");
  int n = 0;
  for (const auto& [bin, ecu] : recentPairs()) {
    const QString binPath = QString::fromStdString(bin);
    const QString ecuPath = QString::fromStdString(ecu);
    QString caption = binPath + "  +  " + ecuPath;
    QAction* pick = recent->addAction(caption.replace('&', "&&"), this, [this, binPath, ecuPath] {
      txtBIN->setText(binPath);
      txtECU->setText(ecuPath);
    });
    pick->setObjectName(QString("actRecent%1").arg(++n));
    // A pair whose files are gone is shown, greyed, so the list keeps its order.
    pick->setEnabled(QFileInfo(binPath).isFile() && QFileInfo(ecuPath).isFile());
  }
  recent->setEnabled(n > 0);
  if (box == txtECU) {
    QAction* check = menu->addAction("Check ECU file…", this, &frmMain::checkEcuFile);
    check->setObjectName("actCheckEcu");
    check->setEnabled(!txtECU->text().isEmpty());
  }
  menu->popup(box->mapToGlobal(at));
}

void frmMain::checkEcuFile() {
  auto* window = new CheckWindow(txtECU->text(), txtBIN->text(), this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void frmMain::dropFiles(const QList<QUrl>& urls, QLineEdit* box) {
  QStringList paths;
  for (const QUrl& url : urls) {
    const QString path = url.toLocalFile();
    if (path.isEmpty())
      return showMessage(this, url.toDisplayString() +
                                   " is not a file on this computer, so "
                                   "Trimlet cannot open it: copy it here first.");
    if (QFileInfo(path).isDir())
      return showMessage(this, path + " is a folder: drop a BIN file or an ECU file.");
    paths << QDir::toNativeSeparators(path);
  }
  if (box != nullptr && paths.size() == 1) return box->setText(paths.first());
  if (paths.size() == 1)
    return (isEcuPath(paths.first()) ? txtECU : txtBIN)->setText(paths.first());
  if (paths.size() != 2 || isEcuPath(paths[0]) == isEcuPath(paths[1]))
    return showMessage(this, "Drop one file, or a BIN file together with an ECU file.");
  const int ecu = isEcuPath(paths[0]) ? 0 : 1;
  txtECU->setText(paths[ecu]);
  txtBIN->setText(paths[1 - ecu]);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  dropFiles(event->mimeData()->urls(), nullptr);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
    return QWidget::eventFilter(watched, event);
  auto* drag = static_cast<QDropEvent*>(event);
  if (!drag->mimeData()->hasUrls()) return QWidget::eventFilter(watched, event);
  drag->acceptProposedAction();
  if (type == QEvent::Drop) dropFiles(drag->mimeData()->urls(), qobject_cast<QLineEdit*>(watched));
  return true;
}

}  // namespace trimlet
