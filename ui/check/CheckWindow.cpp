#include "ui/check/CheckWindow.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "core/ecu_check.h"
#include "ui/common/Widgets.h"

namespace trimlet {

namespace {

enum Column { kLine, kItem, kClass, kRange, kMessage, kColumns };

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The file as the view shows it: every line end the reader counts (CR, LF, CR LF) as one, so
// that block n is line n + 1, and control characters as their visible symbols.
QString shownText(const std::string& bytes) {
  QString text = fromUtf8(bytes);
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if (u < 0x20 && u != '\n' && u != '\t')
      c = QChar(static_cast<char16_t>(0x2400 + u));
    else if (u == 0x7F)
      c = QChar(0x2421);
  }
  return text;
}

// One row of the table: a problem, or an item the check found nothing wrong with.
struct Row {
  TextPosition at;
  int item = -1;
  const Problem* problem = nullptr;
};

QStyle::StandardPixmap iconOf(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return QStyle::SP_MessageBoxCritical;
    case Severity::Warning:
      return QStyle::SP_MessageBoxWarning;
    case Severity::Note:
      break;
  }
  return QStyle::SP_MessageBoxInformation;
}

}  // namespace

CheckWindow::CheckWindow(const QString& ecuPath, const QString& binPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ecuPath_(ecuPath),
      binPath_(binPath),
      lblSummary(makeLabel("lblSummary", QString(), this)),
      tblReport(new QTableWidget(0, kColumns, this)),
      txtFile(new QPlainTextEdit(this)),
      cmdCheckAgain(makeButton("cmdCheckAgain", "Check &Again", this)) {
  setObjectName("CheckWindow");
  setWindowTitle("Check ECU File - " + ecuPath);
  tblReport->setObjectName("tblReport");
  txtFile->setObjectName("txtFile");
  lblSummary->setWordWrap(true);

  tblReport->setHorizontalHeaderLabels({"Line", "Item", "Class", "Range", "Message"});
  tblReport->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tblReport->setSelectionBehavior(QAbstractItemView::SelectRows);
  tblReport->setSelectionMode(QAbstractItemView::SingleSelection);
  tblReport->setWordWrap(false);
  tblReport->verticalHeader()->hide();
  tblReport->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  QHeaderView* header = tblReport->horizontalHeader();
  for (const int column : {kLine, kClass, kRange})
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  header->setSectionResizeMode(kItem, QHeaderView::Interactive);
  header->resizeSection(kItem, 200);
  header->setStretchLastSection(true);

  txtFile->setReadOnly(true);
  txtFile->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtFile->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(tblReport);
  split->addWidget(txtFile);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cmdCheckAgain);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblSummary);
  layout->addWidget(split, 1);
  layout->addLayout(buttons);
  resize(960, 640);

  connect(tblReport, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { tblReport_DoubleClick(row); });
  connect(cmdCheckAgain, &QPushButton::clicked, this, &CheckWindow::checkAgain);
  checkAgain();
}

void CheckWindow::checkAgain() { fill(checkFiles(ecuPath_.toStdString(), binPath_.toStdString())); }

void CheckWindow::fill(const CheckedFiles& check) {
  const EcuReport& report = check.report;
  QString summary = ecuPath_;
  if (!check.ecuFailure.empty()) {
    summary = fromUtf8(check.ecuFailure);
  } else {
    if (!check.binFailure.empty())
      summary += "\n" + fromUtf8(check.binFailure) +
                 " The items are checked against the largest image Trimlet holds.";
    else if (!binPath_.isEmpty())
      summary += " with " + binPath_;
    summary += "\n" + fromUtf8(summaryText(report));
  }
  lblSummary->setText(summary);
  txtFile->setPlainText(shownText(check.text));
  txtFile->setExtraSelections({});

  std::vector<Row> rows;
  std::vector<bool> reported(report.items.size(), false);
  for (const Problem& problem : report.problems) {
    const bool ofItem = problem.item >= 0 && static_cast<size_t>(problem.item) < reported.size();
    rows.push_back({problem.at, ofItem ? problem.item : -1, &problem});
    if (ofItem) reported[static_cast<size_t>(problem.item)] = true;
  }
  for (const CheckedItem& item : report.items)
    if (!reported[static_cast<size_t>(item.number)]) rows.push_back({item.at, item.number});
  std::stable_sort(rows.begin(), rows.end(),
                   [](const Row& a, const Row& b) { return a.at < b.at; });

  tblReport->clearContents();
  tblReport->setRowCount(static_cast<int>(rows.size()));
  for (size_t r = 0; r < rows.size(); ++r) {
    const Row& row = rows[r];
    QString cells[kColumns];
    if (row.at.line > 0) cells[kLine] = QString::number(row.at.line);
    if (row.item == 0) cells[kItem] = "header";
    if (row.item > 0) {
      const CheckedItem& item = report.items[static_cast<size_t>(row.item)];
      cells[kItem] = QString::number(item.number) + " " + fromUtf8(item.name());
      cells[kClass] = className(item.itemClass);
      if (item.range) cells[kRange] = fromUtf8(rangeText(*item.range));
    }
    if (row.problem != nullptr)
      cells[kMessage] =
          QString(severityName(row.problem->severity)) + ": " + fromUtf8(problemText(*row.problem));
    for (int c = 0; c < kColumns; ++c) {
      auto* cell = new QTableWidgetItem(cells[c]);
      if (c == kLine) cell->setData(Qt::UserRole, static_cast<qulonglong>(row.at.line));
      tblReport->setItem(static_cast<int>(r), c, cell);
    }
    if (row.item > 0)
      tblReport->item(static_cast<int>(r), kClass)
          ->setToolTip(fromUtf8(report.items[static_cast<size_t>(row.item)].classNote));
    if (row.problem != nullptr) {
      QTableWidgetItem* message = tblReport->item(static_cast<int>(r), kMessage);
      message->setIcon(style()->standardIcon(iconOf(row.problem->severity)));
      message->setToolTip(cells[kMessage]);
    }
  }
}

void CheckWindow::tblReport_DoubleClick(int row) {
  const QTableWidgetItem* cell = tblReport->item(row, kLine);
  if (cell != nullptr) showLine(cell->data(Qt::UserRole).toInt());
}

void CheckWindow::showLine(int line) {
  const QTextBlock block = txtFile->document()->findBlockByNumber(line - 1);
  if (line < 1 || !block.isValid()) return;
  const QTextCursor cursor(block);
  txtFile->setTextCursor(cursor);
  txtFile->centerCursor();
  QTextEdit::ExtraSelection mark;
  mark.cursor = cursor;
  mark.format.setBackground(palette().color(QPalette::Highlight).lighter(160));
  mark.format.setProperty(QTextFormat::FullWidthSelection, true);
  txtFile->setExtraSelections({mark});
}

}  // namespace trimlet
