#include "log/text_pool.h"

#include <array>
#include <atomic>
#include <memory>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace tarvo::text_pool {

namespace {

// Numbers name slots in pages of kPageSlots; the table of pages is fixed, so
// a reader never sees it move while a writer adds a page.
constexpr unsigned kPageBits = 12;
constexpr std::uint32_t kPageSlots = 1u << kPageBits;
constexpr std::size_t kPages = std::size_t{1} << 16;
// The bytes of the texts, in chunks that are never freed or moved.
constexpr std::size_t kChunkBytes = 64 * 1024;
// Room for a day of distinct times of day, so that the table of a long run
// never has to be rebuilt on the committing thread.
constexpr std::size_t kExpectedTexts = 1u << 17;

struct Pool {
  Pool() {
    index.reserve(kExpectedTexts);
    add({});  // number 0: the empty text
  }

  std::uint32_t add(std::string_view text) {
    if (count == kPageSlots * kPages) throw std::bad_alloc();
    const std::uint32_t id = count;
    std::string_view* page = pages[id >> kPageBits].load(std::memory_order_relaxed);
    if (page == nullptr) {
      owned_pages.push_back(std::make_unique<std::string_view[]>(kPageSlots));
      page = owned_pages.back().get();
    }
    page[id & (kPageSlots - 1)] = keep(text);
    // The slot is written before its page is published and before the number
    // is handed out.
    pages[id >> kPageBits].store(page, std::memory_order_release);
    index.emplace(page[id & (kPageSlots - 1)], id);
    count = id + 1;
    return id;
  }

  std::string_view keep(std::string_view text) {
    if (text.empty()) return {};
    if (chunk_left < text.size()) {
      chunks.push_back(std::make_unique<char[]>(kChunkBytes));
      chunk_at = chunks.back().get();
      chunk_left = kChunkBytes;
    }
    char* at = chunk_at;
    std::copy(text.begin(), text.end(), at);
    chunk_at += text.size();
    chunk_left -= text.size();
    return {at, text.size()};
  }

  std::mutex mutex;
  std::array<std::atomic<std::string_view*>, kPages> pages{};
  std::vector<std::unique_ptr<std::string_view[]>> owned_pages;
  std::vector<std::unique_ptr<char[]>> chunks;
  char* chunk_at = nullptr;
  std::size_t chunk_left = 0;
  std::unordered_map<std::string_view, std::uint32_t> index;
  std::uint32_t count = 0;
};

Pool& pool() {
  static Pool* const instance = new Pool();  // never destroyed: records may outlive statics
  return *instance;
}

}  // namespace

std::uint32_t intern(std::string_view text) {
  if (text.empty()) return 0;
  Pool& p = pool();
  const std::lock_guard lock(p.mutex);
  const auto found = p.index.find(text);
  return found != p.index.end() ? found->second : p.add(text);
}

std::string_view text_of(std::uint32_t id) {
  if (id == 0) return {};
  const std::string_view* page = pool().pages[id >> kPageBits].load(std::memory_order_acquire);
  return page[id & (kPageSlots - 1)];
}

std::uint32_t size() {
  Pool& p = pool();
  const std::lock_guard lock(p.mutex);
  return p.count;
}

}  // namespace tarvo::text_pool
