#include "debug_window.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QVBoxLayout>
#include <memory>

#include "design_font.h"
#include "link/meter_state.h"
#include "window_placement.h"

namespace tarvo {
namespace {

QString trace_file_name() {
  const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
  return QDir::home().filePath(QStringLiteral("tarvo-trace-%1.txt").arg(stamp));
}

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("TForm2"));
  setWindowTitle(QStringLiteral("Debug trace"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFont(design_font("MS Sans Serif", 11));

  mmo1_ = new QPlainTextEdit(this);
  mmo1_->setObjectName(QStringLiteral("mmo1"));
  mmo1_->setFixedSize(704, 437);
  mmo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  mmo1_->setMaximumBlockCount(kMemoLines);
  mmo1_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(mmo1_, &QPlainTextEdit::customContextMenuRequested, this, &TForm2::show_memo_menu);

  // The window takes the size of the memo and keeps it.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(mmo1_);
}

void TForm2::add_line(std::string line) {
  // The memo takes "\r\n" as one line break, so a read line is followed by an
  // empty line as the trace expects.
  mmo1_->appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void TForm2::clear() {
  mmo1_->clear();
}

void TForm2::show_trace() {
  retranslate();
  if (!isVisible() && !place_kept_) {
    adjustSize();
    place_beside_parent(*this);
  }
  show();
  raise();
}

// The window keeps the memo's fixed size: only its place is kept.
void TForm2::set_kept_place(const QPoint& place) {
  move(place);
  place_kept_ = true;
}

void TForm2::retranslate() {
  if (meter_ != nullptr) setWindowTitle(QString::fromStdString(meter_->text(kTextDebugTitle)));
}

bool TForm2::save_trace_to(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  QByteArray bytes = mmo1_->toPlainText().toUtf8();
  if (!bytes.isEmpty()) bytes.append('\n');
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

void TForm2::show_memo_menu(const QPoint& position) {
  const std::unique_ptr<QMenu> menu(mmo1_->createStandardContextMenu(position));
  if (meter_ != nullptr) {
    menu->addSeparator();
    QAction* save = menu->addAction(QString::fromStdString(meter_->text(kTextSaveTrace)));
    save->setObjectName(QStringLiteral("mni_save_trace"));
    connect(save, &QAction::triggered, this, &TForm2::save_trace);
  }
  menu->exec(mmo1_->viewport()->mapToGlobal(position));
}

void TForm2::save_trace() {
  const QString caption = QString::fromStdString(meter_->text(kTextSaveTrace));
  QFileDialog dialog(this, caption, trace_file_name(), QStringLiteral("*.txt"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("txt"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  if (!save_trace_to(dialog.selectedFiles().constFirst())) {
    QMessageBox::critical(this, caption, QString::fromStdString(meter_->text(kTextSaveFailed)));
  }
}

}  // namespace tarvo
