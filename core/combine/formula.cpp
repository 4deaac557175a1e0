#include "combine/formula.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace tarvo {

namespace {

constexpr double kSecondsPerHour = 3600;
// Rows without a value for up to this many steps are spanned by the
// integral: readings that missed the tolerance, not a meter that went away.
constexpr double kLongestSpan = 3;

// The operators as they may be written; the typographic ones too.
struct Spelling {
  std::string_view text;
  char op;
};
constexpr Spelling kOperators[] = {
    {"+", '+'},      {"-", '-'}, {"\u2212", '-'}, {"*", '*'}, {"\u00D7", '*'}, {"\u00B7", '*'},
    {"\u22C5", '*'}, {"/", '/'}, {"\u00F7", '/'}, {"(", '('}, {")", ')'},
};

bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

std::string meter_letters(std::size_t meters) {
  std::string text;
  for (std::size_t m = 0; m < meters; ++m) {
    if (m > 0) text += m + 1 == meters ? " and " : ", ";
    text += static_cast<char>('A' + m);
  }
  return text;
}

std::string unit_words(const Unit& u) {
  const std::string name = unit_name(u);
  return name.empty() ? "a plain number" : name;
}

}  // namespace

FormulaError::FormulaError(std::size_t position, const std::string& what)
    : std::runtime_error("at character " + std::to_string(position) + ": " + what),
      position_(position) {}

// Recursive descent over the bytes of the text:
//   sum     = product { ("+" | "-") product }
//   product = unary { ("*" | "/") unary }
//   unary   = "-" unary | "+" unary | primary
//   primary = number | letter | "integral" "(" sum ")" | "(" sum ")"
class Formula::Parser {
 public:
  Parser(Formula& f, std::string_view text, std::size_t meters)
      : f_(f), text_(text), meters_(meters) {}

  int parse() {
    const int root = sum();
    skip_spaces();
    if (pos_ < text_.size()) fail("\"" + std::string(token_text()) + "\" was not expected here");
    return root;
  }

 private:
  [[noreturn]] void fail(const std::string& what) const { throw FormulaError(position(), what); }

  // Characters, not bytes, before the current one, plus one.
  std::size_t position() const {
    std::size_t n = 1;
    for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i) {
      if ((static_cast<unsigned char>(text_[i]) & 0xC0) != 0x80) ++n;
    }
    return n;
  }

  void skip_spaces() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  // The operator at the current position without taking it; 0 for none.
  char peek_operator(std::size_t* length = nullptr) {
    skip_spaces();
    for (const Spelling& s : kOperators) {
      if (text_.substr(pos_).starts_with(s.text)) {
        if (length != nullptr) *length = s.text.size();
        return s.op;
      }
    }
    return 0;
  }

  bool take_operator(char op) {
    std::size_t length = 0;
    if (peek_operator(&length) != op) return false;
    pos_ += length;
    return true;
  }

  std::string_view token_text() const {
    std::size_t end = pos_ + 1;
    while (end < text_.size() && (static_cast<unsigned char>(text_[end]) & 0xC0) == 0x80) ++end;
    return text_.substr(pos_, end - pos_);
  }

  int add(Node node) {
    f_.nodes_.push_back(std::move(node));
    return static_cast<int>(f_.nodes_.size() - 1);
  }

  int binary(Kind kind, int left, int right) {
    Node n;
    n.kind = kind;
    n.left = left;
    n.right = right;
    return add(std::move(n));
  }

  int sum() {
    int left = product();
    for (;;) {
      if (take_operator('+')) {
        left = binary(Kind::Add, left, product());
      } else if (take_operator('-')) {
        left = binary(Kind::Subtract, left, product());
      } else {
        return left;
      }
    }
  }

  int product() {
    int left = unary();
    for (;;) {
      if (take_operator('*')) {
        left = binary(Kind::Multiply, left, unary());
      } else if (take_operator('/')) {
        left = binary(Kind::Divide, left, unary());
      } else {
        return left;
      }
    }
  }

  int unary() {
    if (take_operator('-')) return binary(Kind::Negate, unary(), -1);
    if (take_operator('+')) return unary();
    return primary();
  }

  int primary() {
    skip_spaces();
    if (pos_ >= text_.size()) fail("a value is missing at the end");
    if (take_operator('(')) {
      const int inner = sum();
      expect_close();
      return inner;
    }
    if (is_digit(text_[pos_]) || text_[pos_] == '.') return number();
    if (is_letter(text_[pos_])) return name();
    fail("\"" + std::string(token_text()) + "\" was not expected here");
  }

  void expect_close() {
    if (!take_operator(')')) fail("\")\" is missing");
  }

  int number() {
    Node n;
    const char* first = text_.data() + pos_;
    const auto [end, ec] = std::from_chars(first, text_.data() + text_.size(), n.number);
    if (ec != std::errc() || !std::isfinite(n.number)) fail("this number cannot be read");
    pos_ += static_cast<std::size_t>(end - first);
    return add(std::move(n));
  }

  int name() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && (is_letter(text_[pos_]) || is_digit(text_[pos_]))) ++pos_;
    const std::string_view word = text_.substr(start, pos_ - start);
    if (word == "integral") return integral(start);
    const std::size_t letter = static_cast<std::size_t>(word[0] - 'A');
    if (word.size() == 1 && word[0] >= 'A' && word[0] <= 'Z' && letter < meters_) {
      Node n;
      n.kind = Kind::Meter;
      n.meter = letter;
      return add(std::move(n));
    }
    pos_ = start;
    fail("there is no meter or function \"" + std::string(word) + "\" (the meters are " +
         meter_letters(meters_) + ")");
  }

  int integral(std::size_t start) {
    if (!take_operator('(')) fail("\"(\" is missing after integral");
    Node n;
    n.kind = Kind::Integral;
    n.left = sum();
    expect_close();
    n.meter = f_.sums_.size();
    f_.sums_.emplace_back();
    n.text = std::string(text_.substr(start, pos_ - start));
    return add(std::move(n));
  }

  Formula& f_;
  std::string_view text_;
  std::size_t meters_;
  std::size_t pos_ = 0;
};

Formula::Formula(std::string_view text, std::size_t meters) {
  root_ = Parser(*this, text, meters).parse();
}

std::optional<Quantity> Formula::next(double seconds,
                                      const std::vector<std::optional<Quantity>>& meters) {
  return evaluate(root_, Row{seconds, meters});
}

std::optional<Quantity> Formula::evaluate(int index, const Row& row) {
  const Node& node = nodes_[static_cast<std::size_t>(index)];
  switch (node.kind) {
    case Kind::Number:
      return Quantity{node.number, {}, false};
    case Kind::Meter:
      return node.meter < row.meters.size() ? row.meters[node.meter] : std::nullopt;
    case Kind::Integral:
      return integrate(node, evaluate(node.left, row), row.seconds);
    case Kind::Negate: {
      std::optional<Quantity> x = evaluate(node.left, row);
      if (x) x->value = -x->value;
      return x;
    }
    default:
      break;
  }
  // Both sides always, so that an integral inside either goes on.
  const std::optional<Quantity> a = evaluate(node.left, row);
  const std::optional<Quantity> b = evaluate(node.right, row);
  if (!a || !b) return std::nullopt;
  return combine(node, *a, *b);
}

std::optional<Quantity> Formula::combine(const Node& node, const Quantity& a,
                                         const Quantity& b) const {
  Quantity r;
  r.after_gap = a.after_gap || b.after_gap;
  switch (node.kind) {
    case Kind::Add:
    case Kind::Subtract:
      if (a.unit != b.unit) {
        throw UnitError(std::string(node.kind == Kind::Add ? "cannot add " : "cannot subtract ") +
                        unit_words(node.kind == Kind::Add ? a.unit : b.unit) +
                        (node.kind == Kind::Add ? " and " : " from ") +
                        unit_words(node.kind == Kind::Add ? b.unit : a.unit));
      }
      r.unit = a.unit;
      r.value = node.kind == Kind::Add ? a.value + b.value : a.value - b.value;
      break;
    case Kind::Multiply:
      r.unit = a.unit * b.unit;
      r.value = a.value * b.value;
      break;
    default:
      r.unit = a.unit / b.unit;
      r.value = a.value / b.value;
      break;
  }
  // A division by zero gives no number to show.
  if (!std::isfinite(r.value)) return std::nullopt;
  return r;
}

std::optional<Quantity> Formula::integrate(const Node& node, const std::optional<Quantity>& x,
                                           double seconds) {
  RunningSum& s = sums_[node.meter];
  if (!x) {
    s.missed = s.has_last;
    return std::nullopt;
  }
  if (s.unit && *s.unit != x->unit) {
    throw UnitError(node.text + ": the unit changes from " + unit_words(*s.unit) + " to " +
                    unit_words(x->unit));
  }
  s.unit = x->unit;
  const double step = seconds - s.last_seconds;
  const bool spanned = !s.missed || (s.last_step > 0 && step <= kLongestSpan * s.last_step);
  if (s.has_last && !x->after_gap && spanned) {
    s.total += step * (x->value + s.last_value) / 2 / kSecondsPerHour;
  }
  if (s.has_last && !s.missed) s.last_step = step;
  s.missed = false;
  s.has_last = true;
  s.last_seconds = seconds;
  s.last_value = x->value;
  return Quantity{s.total, times_hours(x->unit), x->after_gap};
}

}  // namespace tarvo
