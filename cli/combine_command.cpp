#include "combine_command.h"

#include <charconv>
#include <cmath>
#include <ostream>

#include "combine/combined_file.h"
#include "combine/combined_rows.h"
#include "files/session_file.h"
#include "i18n/language_table.h"
#include "i18n/text_numbers.h"
#include "options.h"

namespace tarvo::cli {

namespace {

constexpr std::string_view kPrefix = "tarvo-cli combine: ";
constexpr std::size_t kMostMeters = 26;  // one letter each

std::string english_text(int number) {
  return LanguageTable().text(LanguageTable::kEnglish, number);
}

std::int64_t parse_tolerance(const std::string& text) {
  double seconds = -1;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(seconds) ||
      seconds < 0 || seconds > 86400) {
    throw UsageError("--tolerance must be a number of seconds from 0 to 86400, not \"" + text +
                     "\"");
  }
  return std::llround(seconds * 1000);
}

bool is_meter_name(const std::string& name, std::size_t meters) {
  return name.size() == 1 && name[0] >= 'A' && static_cast<std::size_t>(name[0] - 'A') < meters;
}

void check_formula_names(const CombineArgs& a) {
  for (std::size_t i = 0; i < a.formulas.size(); ++i) {
    const std::string& name = a.formulas[i].first;
    if (name.empty()) throw UsageError("--formula needs NAME=EXPR");
    if (name == "Time" || is_meter_name(name, a.sessions.size())) {
      throw UsageError("the formula name \"" + name + "\" is taken by a column");
    }
    for (std::size_t j = 0; j < i; ++j) {
      if (a.formulas[j].first == name) {
        throw UsageError("two formulas are named \"" + name + "\"");
      }
    }
  }
}

std::pair<std::string, std::string> split_formula(const std::string& text) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos) throw UsageError("--formula needs NAME=EXPR, not \"" + text + "\"");
  // "P = A*B" names P, as "P=A*B" does.
  std::string name = text.substr(0, eq);
  name.erase(0, name.find_first_not_of(' '));
  name.erase(name.find_last_not_of(' ') + 1);
  return {name, text.substr(eq + 1)};
}

std::vector<NamedFormula> parse_formulas(const CombineArgs& a) {
  std::vector<NamedFormula> formulas;
  for (const auto& [name, text] : a.formulas) {
    try {
      formulas.push_back({name, Formula(text, a.sessions.size())});
    } catch (const FormulaError& e) {
      throw UsageError("formula " + name + ": " + e.what());
    }
  }
  return formulas;
}

std::optional<SessionContents> read_session(const std::filesystem::path& file,
                                            std::vector<MeterReading>& readings,
                                            std::ostream& err) {
  LoadError why;
  MeterReadingSink sink(readings, ".");
  std::optional<SessionContents> session = ReadSessionRecords(file, ".", sink, {}, &why);
  if (session) return session;
  err << kPrefix << file.string() << ": ";
  if (why.failure == LoadFailure::Missing) {
    err << english_text(kTextFileMissing) << '\n';
  } else {
    err << english_text(kTextWrongFormat) << " (" << why.reason << ")\n";
  }
  return std::nullopt;
}

// Each session's readings, and the first one's interval; none when one is
// refused.
std::optional<std::vector<std::vector<MeterReading>>> read_meters(const CombineArgs& a,
                                                                  std::int64_t& interval,
                                                                  std::ostream& err) {
  std::vector<std::vector<MeterReading>> meters;
  for (const std::filesystem::path& file : a.sessions) {
    std::vector<MeterReading>& readings = meters.emplace_back();
    const std::optional<SessionContents> session = read_session(file, readings, err);
    if (!session) return std::nullopt;
    if (meters.size() == 1) interval = session->header.interval;
    put_in_time_order(readings);
  }
  return meters;
}

}  // namespace

CombineArgs read_combine_args(const std::vector<std::string>& args) {
  CombineArgs a;
  std::vector<std::filesystem::path> files;
  OptionReader r(args);
  while (!r.done()) {
    if (auto formula = r.take_each("--formula")) {
      a.formulas.push_back(split_formula(*formula));
    } else if (auto tolerance = r.take("--tolerance")) {
      a.tolerance_ms = parse_tolerance(*tolerance);
    } else {
      files.emplace_back(r.take_positional());
    }
  }
  if (files.size() < 3) throw UsageError("give two or more session files and the file to write");
  if (files.size() - 1 > kMostMeters) throw UsageError("at most 26 sessions can be combined");
  a.out = files.back();
  files.pop_back();
  a.sessions = std::move(files);
  if (!combined_format_of(a.out)) throw UsageError("the file to write must end in .csv or .xlsx");
  check_formula_names(a);
  return a;
}

int run_combine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CombineArgs a;
  std::vector<NamedFormula> formulas;
  try {
    a = read_combine_args(args);
    formulas = parse_formulas(a);
  } catch (const UsageError& e) {
    err << kPrefix << e.what() << '\n';
    return 2;
  }
  std::int64_t interval = 1;
  const auto meters = read_meters(a, interval, err);
  if (!meters) return 1;
  CombinedRows rows(*meters, formulas, a.tolerance_ms.value_or(interval * 1000 / 2));
  std::string error;
  try {
    if (!save_combined(rows, a.out, *combined_format_of(a.out), error)) {
      err << kPrefix << a.out.string() << ": " << english_text(kTextSaveFailed) << " (" << error
          << ")\n";
      return 1;
    }
  } catch (const UnitError& e) {
    err << kPrefix << "formula " << e.what() << '\n';
    return 1;
  }
  out << rows.size() << " rows written to " << a.out.string() << '\n';
  return 0;
}

}  // namespace tarvo::cli
