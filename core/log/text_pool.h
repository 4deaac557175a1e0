#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "log/fixed_text.h"

namespace tarvo {

// The texts that repeat from record to record (a range, a time of day), each
// kept once for the whole process and named by a number. The pool only grows:
// a text's bytes never move, so a view of it stays valid, and looking a number
// up takes no lock, whichever thread asks.
namespace text_pool {

// The number of the text, added when it is new; 0 is the empty text. Throws
// std::bad_alloc when the pool has no number left.
std::uint32_t intern(std::string_view text);
std::string_view text_of(std::uint32_t id);
// The texts held so far, the empty one included.
std::uint32_t size();

}  // namespace text_pool

// A record's text of at most Capacity bytes, cut as FixedText cuts it, stored
// as the number of its text in the pool: four bytes whatever its length.
template <std::size_t Capacity>
class PooledText {
 public:
  static constexpr std::size_t capacity = Capacity;

  PooledText() = default;
  explicit PooledText(std::string_view text) { assign(text); }

  void assign(std::string_view text) { id_ = text_pool::intern(cut_utf8(text, Capacity)); }
  std::string_view view() const { return text_pool::text_of(id_); }
  std::string str() const { return std::string(view()); }
  std::size_t size() const { return view().size(); }
  bool empty() const { return id_ == 0; }

  // One text has one number, so equal numbers are equal texts.
  friend bool operator==(const PooledText& a, const PooledText& b) { return a.id_ == b.id_; }

 private:
  std::uint32_t id_ = 0;
};

}  // namespace tarvo
