// Inflating the items of a resource section ahead of their reader, on a
// second core. The items of a section are independent compressed
// sub-streams, so while the loading thread reads item i (and inflates the
// pictures inside it), a helper thread inflates items i + 1, i + 2, ...
//
// Only the inflating runs ahead: items are still taken, read and created in
// order on the loading thread. An item the helper could not inflate (damaged,
// out of memory) is read again by the loading thread in its turn, so every
// error, message and its order is exactly that of a load on one core.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "package/Support_Stream.h"

namespace tavrin {

class CInflateAhead {
 public:
  // Finds the compressed items that follow in `content` (at most `count`;
  // the scan stops at the first length that does not fit) and starts
  // inflating them when that is worth a thread. `content` must outlive this.
  CInflateAhead(const CStream& content, int32_t count);
  ~CInflateAhead();
  CInflateAhead(const CInflateAhead&) = delete;
  CInflateAhead& operator=(const CInflateAhead&) = delete;

  // Item `index` (taken in order, 0, 1, ...): as CStream::ReadStreamC on
  // `content` would return it, throwing what it would throw.
  CStream Take(CStream& content, int32_t index);

 private:
  struct RItem {
    size_t at = 0, size = 0;  // the compressed bytes, after the length
    bool done = false;
    std::optional<CStream> plain;  // empty when inflating failed here
  };
  void Run();

  const CStream& m_content;
  std::vector<RItem> m_items;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  size_t m_taken = 0;        // items handed out
  size_t m_aheadBytes = 0;   // inflated and not yet taken
  bool m_stop = false;
  std::thread m_helper;
};

}  // namespace tavrin
