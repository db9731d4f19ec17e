#include "package/Package_Ahead.h"

#include <cstring>
#include <system_error>

namespace tavrin {

namespace {
// How far the helper may run ahead: a few items and a few tens of megabytes,
// so that inflating ahead never holds much more memory than reading in turn.
constexpr size_t kAheadItems = 8;
constexpr size_t kAheadBytes = size_t(64) << 20;
}  // namespace

CInflateAhead::CInflateAhead(const CStream& content, int32_t count) : m_content(content) {
  // One core, a section of one item, or someone watching every inflate on
  // this thread (the load benchmark): nothing to gain, or not to be moved.
  if (count < 2 || std::thread::hardware_concurrency() < 2 || Stream_InflateObserved()) return;
  size_t at = content.Position();
  const uint8_t* d = content.Data();
  for (int32_t i = 0; i < count && content.Size() - at >= 4; ++i) {
    int32_t n;
    std::memcpy(&n, d + at, 4);
    if (n < 0 || size_t(n) > content.Size() - at - 4) break;
    m_items.push_back({at + 4, size_t(n), false, std::nullopt});
    at += 4 + size_t(n);
  }
  if (m_items.size() < 2) return;
  try {
    m_helper = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // No thread to be had: the items are inflated in turn.
  }
}

CInflateAhead::~CInflateAhead() {
  if (!m_helper.joinable()) return;
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_changed.notify_all();
  m_helper.join();
}

void CInflateAhead::Run() {
  for (size_t i = 0; i < m_items.size(); ++i) {
    {
      std::unique_lock lock(m_mutex);
      m_changed.wait(lock, [&] { return m_stop || (i < m_taken + kAheadItems && m_aheadBytes < kAheadBytes); });
      if (m_stop) return;
    }
    std::optional<CStream> plain;
    try {
      plain = CStream(Stream_Inflate(m_content.Data() + m_items[i].at, m_items[i].size));
    } catch (...) {
      // Left to the loading thread, which meets the same failure in its turn.
    }
    {
      std::lock_guard lock(m_mutex);
      if (plain) m_aheadBytes += plain->Size();
      m_items[i].plain = std::move(plain);
      m_items[i].done = true;
    }
    m_changed.notify_all();
  }
}

CStream CInflateAhead::Take(CStream& content, int32_t index) {
  const size_t i = size_t(index);
  if (!m_helper.joinable() || i >= m_items.size() || content.Position() + 4 != m_items[i].at)
    return content.ReadStreamC();
  std::optional<CStream> plain;
  {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_items[i].done; });
    plain = std::move(m_items[i].plain);
    if (plain) m_aheadBytes -= plain->Size();
    m_taken = i + 1;
  }
  m_changed.notify_all();
  if (!plain) return content.ReadStreamC();
  content.Seek(m_items[i].at + m_items[i].size);
  return std::move(*plain);
}

}  // namespace tavrin
