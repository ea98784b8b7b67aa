// Links: anchor targets, link numbers and the reference list.
#include "links.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

#include "blocks.h"
#include "formatter.h"
#include "simd.h"

namespace qln::detail {
namespace {

constexpr std::string_view kListHeading = "Hyperlink Reference:";

/// Appends "[n]" in decimal to the output or the pending word.
template <typename Text>
void AppendNumber(size_t n, Text* text) {
  char number[24] = "[";
  char* end = std::to_chars(number + 1, number + sizeof number - 1, n).ptr;
  *end++ = ']';
  text->append(number, static_cast<size_t>(end - number));
}

std::string_view UrlAt(const UrlList& urls, size_t position) {
  size_t begin = position == 0 ? 0 : urls.ends[position - 1];
  return std::string_view(urls.text).substr(begin, urls.ends[position] - begin);
}

/// A hash of a link target for the index: eight bytes at a time, each
/// mixed in with a multiply; its top 32 bits.
uint32_t HashOf(std::string_view target) {
  constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15u;
  uint64_t hash = target.size() * kMultiplier;
  size_t at = 0;
  for (; at + 8 <= target.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, target.data() + at, 8);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 29;
  }
  // The last bytes: the eight that end the target when it has them (some
  // mixed in twice), which saves a copy of a length known only now.
  uint64_t tail = 0;
  if (target.size() >= 8)
    std::memcpy(&tail, target.data() + target.size() - 8, 8);
  else
    std::memcpy(&tail, target.data(), target.size());
  hash = (hash ^ tail) * kMultiplier;
  return static_cast<uint32_t>((hash ^ (hash >> 31)) >> 32);
}

/// Puts an index entry (hash and position + 1) into the first free slot.
void Insert(std::vector<uint64_t>* slots, uint64_t entry) {
  size_t mask = slots->size() - 1;
  for (size_t slot = (entry >> 32) & mask;; slot = (slot + 1) & mask) {
    if ((*slots)[slot] == 0) {
      (*slots)[slot] = entry;
      return;
    }
  }
}

/// Doubles the index when it would become more than three quarters full.
void GrowIndex(UrlList* urls) {
  if (4 * (urls->ends.size() + 1) <= 3 * urls->slots.size()) return;
  std::vector<uint64_t> bigger(std::max<size_t>(1024, 2 * urls->slots.size()), 0);
  for (uint64_t entry : urls->slots)
    if (entry != 0) Insert(&bigger, entry);
  urls->slots.swap(bigger);
}

}  // namespace

bool WriteReferenceListPart(UrlList* urls, std::string_view lead, std::string_view newline,
                            size_t* next, size_t limit, ByteBuffer* output) {
  const size_t count = urls->ends.size();
  if (count == 0) return true;
  if (*next == 0) {
    output->append(lead);
    output->append(kListHeading);
    output->append(newline);
  }
  while (*next < count) {
    output->append(".. ");
    AppendNumber(*next + 1, output);
    output->push_back(' ');
    output->append(UrlAt(*urls, *next));
    output->append(newline);
    ++*next;
    if (output->size() >= limit && *next < count) return false;
  }
  *urls = UrlList{};
  return true;
}

namespace {

/// True when `text` begins with "HREF" as it reads upper-cased when outside
/// quotes, as it stands when inside them. Four bytes at once: each of
/// "href" has only its own capital as the other byte that the 0x20 bit
/// turns into it.
bool StartsWithHref(std::string_view text, bool quoted) {
  if (text.size() < 4) return false;
  uint32_t bytes, upper, lower;
  std::memcpy(&bytes, text.data(), 4);
  std::memcpy(&upper, "HREF", 4);
  std::memcpy(&lower, "href", 4);
  return quoted ? bytes == upper : (bytes | 0x20202020u) == lower;
}

/// Moves `*pos` past the rest of the token of `tag` it is in, to the next
/// whitespace outside or inside quotes; each quote passed flips `*quoted`.
void SkipToken(std::string_view tag, size_t* pos, bool* quoted) {
  const char* const end = tag.data() + tag.size();
  for (;;) {
    *pos += simd::TokenRunLength(tag.data() + *pos, end);
    if (*pos == tag.size() || tag[*pos] != '"') return;
    *quoted = !*quoted;
    ++*pos;
  }
}

void AppendUpperCase(std::string_view text, ByteBuffer* output) {
  for (char c : text)
    output->push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
}

/// Copies the target of `tag` that follows the quote at `quote` and ends at
/// `close` to `*copy_at` in `*href`, over what an earlier target of the tag
/// left there, within the length limit; upper-cased when `quoted` (the HREF
/// inside quotes, so the target outside them). False, with `*href` cut back
/// to `*copy_at`, when the tag ends right after the quote.
bool CopyTarget(std::string_view tag, size_t quote, size_t close, bool quoted, size_t* copy_at,
                ByteBuffer* href) {
  href->resize(*copy_at);
  if (quote + 1 == tag.size()) return false;
  std::string_view target = tag.substr(quote + 1, close - quote - 1);
  target = target.substr(0, kMaxHrefLength - *copy_at);
  if (quoted)
    AppendUpperCase(target, href);
  else
    href->append(target);
  *copy_at = href->size();
  return true;
}

}  // namespace

void ExtractHref(ConversionState* state, std::string_view tag) {
  // The tag reads as if upper-cased outside double quotes (each quote
  // switches between outside and inside): "href" matches in any case there,
  // and a target copied from outside quotes is upper-cased. `quoted` tells
  // whether `pos` lies inside quotes.
  ByteBuffer& href = state->HrefBuffer;
  const char* const end = tag.data() + tag.size();
  size_t copy_at = 0;  // where this tag's next target goes in HrefBuffer
  size_t pos = 1;
  bool quoted = !tag.empty() && tag[0] == '"';
  while (pos < tag.size()) {
    while (pos < tag.size() && IsWhitespace(tag[pos])) pos++;
    if (StartsWithHref(tag.substr(pos), quoted)) {
      // In the usual HREF="target" the target, when it holds no whitespace,
      // ends at the first quote or whitespace after its opening quote; the
      // scan may then go on after its closing quote with the same `quoted`.
      const bool usual = pos + 5 < tag.size() && tag[pos + 4] == '=' && tag[pos + 5] == '"';
      const size_t quote = usual ? pos + 5 : tag.find('"', pos);
      if (quote == std::string_view::npos) return;  // HrefBuffer keeps its text
      size_t close = usual ? quote + 1 + simd::TokenRunLength(tag.data() + quote + 1, end) : 0;
      const bool skip_target = usual && (close == tag.size() || tag[close] == '"');
      if (!skip_target) close = tag.find('"', quote + 1);
      // No quote lies between `pos` and `quote`, so the target is inside
      // quotes exactly when `pos` is outside them.
      if (!CopyTarget(tag, quote, close, quoted, &copy_at, &href)) return;
      if (skip_target) {
        if (close == tag.size()) return;
        pos = close + 1;
      }
    }
    SkipToken(tag, &pos, &quoted);
  }
}

void ExtractHrefInBlocks(ConversionState* state, std::string_view tag,
                         const Blocks<ClassicMasks>& blocks, size_t offset) {
  // The same reading as ExtractHref's. The tag's tokens are the runs between
  // whitespace (the first from position 1 on), and in a whole tag the word
  // stops are its whitespace; only a token that begins with "h" or "H" may
  // be an HREF, and it is inside quotes when an odd number of quotes comes
  // before it.
  using Kind = Blocks<ClassicMasks>::Kind;
  constexpr Kind kWhitespace = &ClassicMasks::word_stops;
  constexpr Kind kQuotes = &ClassicMasks::quotes;
  const size_t n = tag.size();
  const auto next = [&](size_t at, Kind kind) {  // in the tag, n when none
    return std::min(blocks.Next(offset + at, kind) - offset, n);
  };
  ByteBuffer& href = state->HrefBuffer;
  size_t copy_at = 0;              // where this tag's next target goes in HrefBuffer
  uint64_t whitespace_before = 2;  // position 1 begins a token as if after whitespace
  for (size_t base = 0; base < n; base += 64) {
    const uint64_t whitespace = blocks.From(offset + base, kWhitespace);
    uint64_t starts = ~whitespace & (whitespace << 1 | whitespace_before);
    whitespace_before = whitespace >> 63;
    if (base == 0) starts &= ~uint64_t{1};
    if (n - base < 64) starts &= (uint64_t{1} << (n - base)) - 1;
    for (; starts != 0; starts &= starts - 1) {
      const size_t pos = base + static_cast<size_t>(std::countr_zero(starts));
      if ((tag[pos] | 0x20) != 'h') continue;
      const bool quoted = blocks.OddCount(offset, offset + pos, kQuotes);
      if (!StartsWithHref(tag.substr(pos), quoted)) continue;
      const bool usual = pos + 5 < n && tag[pos + 4] == '=' && tag[pos + 5] == '"';
      const size_t quote = usual ? pos + 5 : next(pos, kQuotes);
      if (quote == n) return;  // HrefBuffer keeps its text
      size_t close = usual ? std::min(next(quote + 1, kWhitespace), next(quote + 1, kQuotes)) : 0;
      const bool skip_target = usual && (close == n || tag[close] == '"');
      if (!skip_target) close = next(quote + 1, kQuotes);
      if (!CopyTarget(tag, quote, close, quoted, &copy_at, &href)) return;
      if (skip_target && close == n) return;
    }
  }
}

void CloseAnchor(ConversionState* state, const RunSettings& settings) {
  if (settings.DoURLs == 1)
    AppendNumber(RegisterUrl(&state->Urls, state->HrefBuffer) + 1, &state->WordBuffer);
  state->HrefBuffer.clear();
}

size_t RegisterUrl(UrlList* urls, std::string_view target) {
  GrowIndex(urls);
  const uint64_t hash = HashOf(target);
  const size_t mask = urls->slots.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const uint64_t entry = urls->slots[slot];
    if (entry == 0) break;
    size_t position = (entry & 0xFFFFFFFF) - 1;
    if ((entry >> 32) == hash && UrlAt(*urls, position) == target) return position;
  }
  size_t position = urls->ends.size();
  urls->text.append(target);
  urls->ends.push_back(urls->text.size());
  Insert(&urls->slots, (hash << 32) | (position + 1));
  return position;
}

bool WriteUrlListPart(UrlList* urls, size_t* next, size_t limit, ByteBuffer* output) {
  return WriteReferenceListPart(urls, "\n", "\n", next, limit, output);
}

void WriteUrlList(UrlList* urls, ByteBuffer* output) {
  size_t next = 0;
  WriteUrlListPart(urls, &next, SIZE_MAX, output);
}

bool AppendUrlListPart(UrlList* urls, size_t* next, size_t limit, ByteBuffer* output) {
  return WriteReferenceListPart(urls, "\r\n\r\n", "\r\n", next, limit, output);
}

void AppendUrlList(UrlList* urls, ByteBuffer* output) {
  size_t next = 0;
  AppendUrlListPart(urls, &next, SIZE_MAX, output);
}

}  // namespace qln::detail
