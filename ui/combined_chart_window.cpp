#include "combined_chart_window.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <system_error>

#include "files/session_store.h"
#include "i18n/text_numbers.h"

namespace tarvo {

namespace {

// Distinct on white and for the usual colour blindness, in the order the
// channels come: meters first, then formulas.
const QColor kColours[] = {QColor(0, 114, 178),   QColor(213, 94, 0),   QColor(0, 158, 115),
                           QColor(204, 121, 167), QColor(86, 180, 233), QColor(230, 159, 0),
                           QColor(0, 0, 0),       QColor(240, 228, 66)};

// The stretches of a line between its breaks.
std::vector<QList<QPointF>> stretches_of(const ChannelLine& line) {
  std::vector<QList<QPointF>> stretches(1);
  for (const auto& [ms, value] : line.points) {
    if (std::isnan(value)) {
      if (!stretches.back().isEmpty()) stretches.emplace_back();
      continue;
    }
    stretches.back().append(QPointF(static_cast<double>(ms), value));
  }
  if (stretches.back().isEmpty()) stretches.pop_back();
  return stretches;
}

std::pair<double, double> value_range(const ChannelLine& line) {
  double low = INFINITY, high = -INFINITY;
  for (const auto& [ms, value] : line.points) {
    if (std::isnan(value)) continue;
    low = std::min(low, value);
    high = std::max(high, value);
  }
  if (low > high) return {0, 1};
  // A flat line sits in the middle of its axis, not on its edge.
  const double margin = high > low ? (high - low) * 0.05 : std::max(std::abs(high) * 0.05, 1e-9);
  return {low - margin, high + margin};
}

// "2026-12-10 20:57:12", local time.
std::string when_text(const LocalTime& t) {
  std::string text = format_iso_local(t);
  std::replace(text.begin(), text.end(), 'T', ' ');
  return text;
}

}  // namespace

CombinedChartWindow::CombinedChartWindow(const MeterState& s, std::filesystem::path session_folder,
                                         QWidget* parent)
    : QDialog(parent), s_(s), folder_(std::move(session_folder)) {
  setObjectName(QStringLiteral("CombinedChartWindow"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);
  auto* choice = new QHBoxLayout;
  group_label_ = new QLabel(this);
  groups_box_ = new QComboBox(this);
  groups_box_->setObjectName(QStringLiteral("CombinedGroups"));
  groups_box_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  formulas_label_ = new QLabel(this);
  formulas_ = new QLineEdit(this);
  formulas_->setObjectName(QStringLiteral("CombinedFormulas"));
  formulas_->setPlaceholderText(QStringLiteral("P=A*B; Q=integral(B)"));
  draw_button_ = new QPushButton(this);
  draw_button_->setObjectName(QStringLiteral("CombinedDraw"));
  choice->addWidget(group_label_);
  choice->addWidget(groups_box_);
  choice->addWidget(formulas_label_);
  choice->addWidget(formulas_, 1);
  choice->addWidget(draw_button_);
  layout->addLayout(choice);
  view_ = new QChartView(new QChart, this);  // the view owns its chart
  view_->setRenderHint(QPainter::Antialiasing);
  view_->chart()->legend()->setAlignment(Qt::AlignBottom);
  layout->addWidget(view_, 1);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("CombinedStatus"));
  status_->setWordWrap(true);
  layout->addWidget(status_);
  connect(draw_button_, &QPushButton::clicked, this, &CombinedChartWindow::draw);
  connect(formulas_, &QLineEdit::returnPressed, this, &CombinedChartWindow::draw);
  connect(groups_box_, &QComboBox::activated, this, &CombinedChartWindow::draw);
  follow_timer_ = new QTimer(this);
  follow_timer_->setInterval(2000);
  connect(follow_timer_, &QTimer::timeout, this, &CombinedChartWindow::follow);
  follow_timer_->start();
  resize(900, 520);
  retranslate();
}

CombinedChartWindow::~CombinedChartWindow() {
  // The reader hands its lines to this window: it ends first. What it posted
  // goes with the window.
  if (reader_.joinable()) reader_.join();
}

QChart* CombinedChartWindow::chart() const {
  return view_->chart();
}

void CombinedChartWindow::retranslate() {
  const auto text = [this](int n) { return QString::fromStdString(s_.text(n)); };
  setWindowTitle(text(kTextCombinedChartTitle));
  group_label_->setText(text(kTextCombinedGroup));
  formulas_label_->setText(text(kTextCombinedFormulas));
  draw_button_->setText(text(kTextCombinedDraw));
  if (!groups_.empty()) {
    const int chosen = groups_box_->currentIndex();
    find_groups();
    groups_box_->setCurrentIndex(chosen);
  }
  if (!error_.empty()) {
    status_->setText(text(kTextCombinedCannotDraw).arg(QString::fromStdString(error_)));
  }
}

void CombinedChartWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  find_groups();
  if (chart()->series().isEmpty() && !groups_.empty()) draw();
}

void CombinedChartWindow::find_groups() {
  const QString was = groups_box_->currentData().toString();
  groups_ = groups_of_sessions(list_sessions(folder_));
  groups_box_->clear();
  for (const SessionGroup& g : groups_) {
    QString item = QString::fromStdString(s_.text(kTextCombinedGroupItem))
                       .arg(g.sessions.size())
                       .arg(QString::fromStdString(when_text(g.sessions.front().header.started)));
    if (g.recording)
      item += QStringLiteral(" (") + QString::fromStdString(s_.text(kTextSessionRecording)) + ')';
    groups_box_->addItem(item, QString::fromStdString(g.id));
  }
  const int again = groups_box_->findData(was);
  if (again >= 0) groups_box_->setCurrentIndex(again);
  if (groups_.empty()) status_->setText(QString::fromStdString(s_.text(kTextCombinedNoGroups)));
}

const SessionGroup* CombinedChartWindow::chosen() const {
  const std::string id = groups_box_->currentData().toString().toStdString();
  for (const SessionGroup& g : groups_) {
    if (g.id == id) return &g;
  }
  return nullptr;
}

std::map<std::filesystem::path, std::uintmax_t> CombinedChartWindow::sizes_of(
    const SessionGroup& group) const {
  std::map<std::filesystem::path, std::uintmax_t> sizes;
  for (const SessionSummary& s : group.sessions) {
    std::error_code ec;
    sizes[s.path] = std::filesystem::file_size(s.path, ec);
  }
  return sizes;
}

void CombinedChartWindow::draw() {
  const SessionGroup* group = chosen();
  if (group == nullptr) return;
  if (busy_) {
    again_ = true;  // what the user asked for now is drawn once the reader is done
    return;
  }
  std::vector<std::filesystem::path> paths;
  for (const SessionSummary& s : group->sessions) paths.push_back(s.path);
  drawn_sizes_ = sizes_of(*group);
  if (reader_.joinable()) reader_.join();  // done: busy_ is false
  busy_ = true;
  const std::uint64_t generation = ++generation_;
  reader_ = std::thread(
      [this, generation, paths = std::move(paths), formulas = formulas_->text().toStdString()] {
        CombinedLines lines = read_combined_lines(paths, formulas, std::nullopt);
        QMetaObject::invokeMethod(
            this,
            [this, generation, lines = std::move(lines)]() mutable {
              drawn(generation, std::move(lines));
            },
            Qt::QueuedConnection);
      });
}

void CombinedChartWindow::drawn(std::uint64_t generation, CombinedLines lines) {
  busy_ = false;
  if (again_) {
    again_ = false;
    draw();
    return;
  }
  if (generation != generation_) return;
  error_ = lines.error;
  status_->setText(error_.empty() ? QString()
                                  : QString::fromStdString(s_.text(kTextCombinedCannotDraw))
                                        .arg(QString::fromStdString(error_)));
  if (error_.empty() || !lines.lines.empty()) show_lines(lines);
}

void CombinedChartWindow::show_lines(const CombinedLines& lines) {
  QChart* c = chart();
  c->removeAllSeries();
  for (QAbstractAxis* axis : c->axes()) {
    c->removeAxis(axis);
    delete axis;
  }
  auto* time = new QDateTimeAxis;
  time->setFormat(QStringLiteral("HH:mm:ss"));
  c->addAxis(time, Qt::AlignBottom);
  double first = INFINITY, last = -INFINITY;
  for (std::size_t i = 0; i < lines.lines.size(); ++i) {
    const ChannelLine& line = lines.lines[i];
    const QColor colour = kColours[i % std::size(kColours)];
    auto* axis = new QValueAxis;
    const auto [low, high] = value_range(line);
    axis->setRange(low, high);
    axis->setTitleText(QString::fromStdString(line.name + " (" + line.unit + ")"));
    axis->setTitleBrush(colour);
    axis->setLabelsColor(colour);
    axis->setLinePenColor(colour);
    axis->setGridLineVisible(i == 0);
    c->addAxis(axis, i % 2 == 0 ? Qt::AlignLeft : Qt::AlignRight);
    bool named = false;
    for (const QList<QPointF>& stretch : stretches_of(line)) {
      auto* series = new QLineSeries;
      series->setPen(QPen(colour, 1.5));
      series->append(stretch);
      series->setName(axis->titleText());
      c->addSeries(series);
      series->attachAxis(time);
      series->attachAxis(axis);
      // One entry in the legend for a channel, however often it was cut.
      if (named) c->legend()->markers(series).front()->setVisible(false);
      named = true;
      first = std::min(first, stretch.front().x());
      last = std::max(last, stretch.back().x());
    }
  }
  if (first <= last) {
    if (last - first > 86400e3) time->setFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    time->setRange(
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(first)),
        QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(std::max(last, first + 1000))));
  }
}

// A group still being recorded is read again once its files grew.
void CombinedChartWindow::follow() {
  if (!isVisible() || busy_) return;
  const SessionGroup* group = chosen();
  if (group == nullptr || !group->recording) return;
  if (sizes_of(*group) != drawn_sizes_) draw();
}

}  // namespace tarvo
