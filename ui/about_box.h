#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QPushButton;

namespace tarvo {

class LanguageTable;
struct MeterState;

// The about text of a language: each non-empty string 201 to 220 followed by
// CR LF. A single space counts as a line.
std::string about_text(const LanguageTable& table, std::int32_t base);

// The about box.
class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(QWidget* parent = nullptr);

  // Takes the texts of the current language; called each time before it opens.
  void FormShow(const MeterState& s);

  QLabel* label() const { return Label1_; }
  QPushButton* button() const { return Button1_; }

 private:
  void fit_label_font();

  QLabel* Label1_;
  QPushButton* Button1_;
};

// mni_Help_AboutClick: fills the about box and shows it modally.
void show_about_box(TForm5& box, const MeterState& s);

}  // namespace tarvo
