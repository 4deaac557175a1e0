#include "session_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "control_hints.h"
#include "files/session_writer.h"
#include "i18n/text_numbers.h"

namespace tarvo {

namespace {

QString text_of(const MeterState& s, int n) {
  return QString::fromStdString(s.text(n));
}

QTreeWidgetItem* row_of(const MeterState& s, const SessionSummary& summary) {
  auto* item = new QTreeWidgetItem;
  item->setText(0, session_moment_text(summary.header.started));
  item->setText(1, QString::number(summary.readings));
  item->setText(2, summary.last_reading ? session_moment_text(*summary.last_reading) : QString());
  item->setText(3, session_state_text(s, summary, session_recording(summary)));
  item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  item->setToolTip(0, QString::fromStdString(summary.path.string()));
  item->setData(0, Qt::UserRole, QByteArray::fromStdString(summary.path.string()));
  return item;
}

}  // namespace

QString session_moment_text(const LocalTime& t) {
  return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                           t.minute, t.second);
}

QString session_state_text(const MeterState& s, const SessionSummary& summary, bool recording) {
  if (recording) return text_of(s, kTextSessionRecording);
  switch (summary.state) {
    case SessionState::Unfinished:
      return text_of(s, kTextSessionUnfinished);
    case SessionState::Stopped:
      return text_of(s, kTextSessionStopped);
    case SessionState::Saved:
      return text_of(s, kTextSessionSaved);
  }
  return {};
}

std::optional<std::filesystem::path> run_session_dialog(QWidget* parent, const MeterState& s,
                                                        const std::vector<SessionSummary>& list) {
  QDialog dialog(parent);
  dialog.setObjectName(QStringLiteral("dlgSessions"));
  dialog.setWindowTitle(text_of(s, kTextSessionsTitle));
  auto* layout = new QVBoxLayout(&dialog);
  auto* tree = new QTreeWidget(&dialog);
  tree->setObjectName(QStringLiteral("SessionList"));
  tree->setRootIsDecorated(false);
  tree->setUniformRowHeights(true);
  tree->setHeaderLabels({text_of(s, kTextSessionStarted), text_of(s, kTextSessionReadings),
                         text_of(s, kTextSessionLastReading), text_of(s, kTextSessionState)});
  for (const SessionSummary& summary : list) tree->addTopLevelItem(row_of(s, summary));
  tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
  layout->addWidget(tree);
  if (list.empty()) layout->addWidget(new QLabel(text_of(s, kTextNoSessions), &dialog));

  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* open =
      buttons->addButton(text_of(s, kTextOpenSession), QDialogButtonBox::AcceptRole);
  open->setObjectName(QStringLiteral("btn_open_session"));
  buttons->addButton(text_of(s, kTextCancel), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("btn_cancel"));
  open->setEnabled(!list.empty());
  layout->addWidget(buttons);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(tree, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  dialog.resize(dialog.sizeHint().expandedTo(QSize(620, 360)));
  apply_control_hints(dialog, s);

  if (dialog.exec() != QDialog::Accepted || tree->currentItem() == nullptr) return std::nullopt;
  return std::filesystem::path(
      tree->currentItem()->data(0, Qt::UserRole).toByteArray().toStdString());
}

}  // namespace tarvo
