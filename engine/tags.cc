// The tag actions. A tag is matched by its whole upper-cased text against a
// table of names; each name leads to one small action.
#include "tags.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "formatter.h"
#include "links.h"

namespace qln::detail {
namespace {

constexpr std::string_view kRuleLine =
    "    ____________________________________________________________";

/// Hands the whole pending word to the formatter and empties it.
void Emit(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  if (!EmitsNothing(*state, state->WordBuffer))
    EmitWord(state, settings, state->WordBuffer, output);
  state->WordBuffer.clear();
}

void SetThenEmit(uint32_t flags, ConversionState* state, const RunSettings& settings,
                 ByteBuffer* output) {
  state->FormatFlags |= flags;
  Emit(state, settings, output);
}

using TagActionFn = TagAction;

void Bold(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->WordBuffer.append("**");
}
void Emphasis(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->WordBuffer.push_back('_');
}
void Italic(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->WordBuffer.push_back('~');
}
void LineBreak(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  SetThenEmit(NewLineAfter, state, settings, output);
}
void DefinitionTerm(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->FormatFlags |= NoIndent;
}
void DefinitionData(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  SetThenEmit(EndLineAfter, state, settings, output);
  state->FormatFlags &= ~NoIndent;
}
void HeadingStart(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  SetThenEmit(NewLineAfter | EndLineAfter | NoIndent, state, settings, output);
}
void Heading1Start(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  HeadingStart(state, settings, output);
  state->FormatFlags |= UnderlineDouble;
}
void Heading2Start(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  HeadingStart(state, settings, output);
  state->FormatFlags |= UnderlineSingle;
}
void HeadingEnd(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  SetThenEmit(NewLineAfter | EndLineAfter, state, settings, output);
  state->FormatFlags &= ~(NoIndent | UnderlineDouble | UnderlineSingle);
}
void HeadStart(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->FormatFlags |= InHead;
}
void HeadEnd(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->FormatFlags &= ~InHead;
  state->WordBuffer.clear();  // discarded, not emitted
}
void Rule(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  SetThenEmit(EndLineAfter, state, settings, output);
  // The rule does not move LineColumn.
  output->append(kRuleLine);
  output->append(NewlineText(*state));
  output->append(NewlineText(*state));
}
void ListItem(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  SetThenEmit(EndLineAfter | NoIndent, state, settings, output);
  EmitWord(state, settings, "*", output);
  state->FormatFlags &= ~NoIndent;
}
void Paragraph(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  SetThenEmit(NewLineAfter | EndLineAfter, state, settings, output);
}
void PreStart(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->FormatFlags |= Preformatted;
}
void PreEnd(ConversionState* state, const RunSettings&, ByteBuffer*) {
  state->FormatFlags &= ~Preformatted;
}

struct TagRow {
  std::string_view name;
  TagActionFn act;
};

// Whole tag texts, upper-cased. Each name stands once, so order does not
// matter here; the anchor rows are tried before this table.
constexpr TagRow kTagRows[] = {
    {"B", Bold},          {"/B", Bold},           {"STRONG", Bold},       {"/STRONG", Bold},
    {"BR", LineBreak},    {"DT", DefinitionTerm}, {"DD", DefinitionData}, {"EM", Emphasis},
    {"/EM", Emphasis},    {"H1", Heading1Start},  {"H2", Heading2Start},  {"H3", HeadingStart},
    {"H4", HeadingStart}, {"H5", HeadingStart},   {"H6", HeadingStart},   {"/H1", HeadingEnd},
    {"/H2", HeadingEnd},  {"/H3", HeadingEnd},    {"/H4", HeadingEnd},    {"/H5", HeadingEnd},
    {"/H6", HeadingEnd},  {"HEAD", HeadStart},    {"TITLE", HeadStart},   {"/HEAD", HeadEnd},
    {"/TITLE", HeadEnd},  {"BODY", HeadEnd},      {"HR", Rule},           {"I", Italic},
    {"/I", Italic},       {"LI", ListItem},       {"P", Paragraph},       {"UL", Paragraph},
    {"/UL", Paragraph},   {"PRE", PreStart},      {"/PRE", PreEnd},
};

/// A tag text of at most kMaxNameLength characters as one number: its
/// characters, upper-cased, one byte each from the lowest, and its length in
/// the top byte. Equal keys mean equal upper-cased texts.
constexpr size_t kMaxNameLength = 7;
constexpr uint64_t NameKey(std::string_view text) {
  const size_t n = text.size();
  uint64_t bytes = 0;
  if (std::is_constant_evaluated()) {
    for (size_t i = 0; i < n; i++)
      bytes |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  } else if (n >= 4) {
    // Two loads of four bytes that overlap, rather than a byte at a time.
    uint32_t low, high;
    std::memcpy(&low, text.data(), 4);
    std::memcpy(&high, text.data() + n - 4, 4);
    bytes = low | uint64_t{high} << (8 * (n - 4));
  } else if (n > 0) {
    const auto at = [&](size_t i) {
      return uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    };
    bytes = at(0) | at(n / 2) | at(n - 1);
  }
  // a-z to A-Z in all bytes at once: each byte from "a" to "z" loses its
  // 0x20 bit. The sums stay within their bytes; bytes of 0x80 and above,
  // whose low seven bits may look like a letter, are left out.
  constexpr uint64_t kOnes = 0x0101010101010101u;
  const uint64_t low_bits = bytes & (0x7F * kOnes);
  const uint64_t from_a = low_bits + (0x80 - 'a') * kOnes;
  const uint64_t past_z = low_bits + (0x80 - 'z' - 1) * kOnes;
  const uint64_t lower = from_a & ~past_z & ~bytes & (0x80 * kOnes);
  return (bytes ^ (lower >> 2)) | uint64_t{n} << 56;
}

struct KeyedAction {
  uint64_t key = 0;  // 0: an empty slot
  TagActionFn act = nullptr;
};

// The rows in an open-addressing hash table a few times larger than the
// table of names, so that most unknown tags meet an empty slot at once.
constexpr size_t kIndexBits = 7;
constexpr size_t SlotOf(uint64_t key) {
  return static_cast<size_t>((key * 0x9E3779B97F4A7C15u) >> (64 - kIndexBits));
}
constexpr auto kTagIndex = [] {
  std::array<KeyedAction, size_t{1} << kIndexBits> index{};
  for (const TagRow& row : kTagRows) {
    const uint64_t key = NameKey(row.name);
    size_t slot = SlotOf(key);
    while (index[slot].key != 0) slot = (slot + 1) % index.size();
    index[slot] = {key, row.act};
  }
  return index;
}();

/// The action for a whole tag text, or nullptr. Upper-casing the text outside
/// quotes first would change nothing here: a text with a quote matches no name.
TagActionFn FindTagAction(uint64_t key) {
  for (size_t slot = SlotOf(key);; slot = (slot + 1) % kTagIndex.size()) {
    if (kTagIndex[slot].key == key) return kTagIndex[slot].act;
    if (kTagIndex[slot].key == 0) return nullptr;
  }
}

}  // namespace

void CloseAnchorAction(ConversionState* state, const RunSettings& settings, ByteBuffer*) {
  CloseAnchor(state, settings);
}

TagAction ActionFor(const ConversionState& state, std::string_view tag) {
  if (tag.size() > kMaxNameLength) return nullptr;
  const uint64_t key = NameKey(tag);
  if (key == NameKey("/A") && HasLinkTarget(state)) return CloseAnchorAction;
  return FindTagAction(key);
}

bool OnlyEndsWord(const ConversionState& state, std::string_view tag) {
  if (!tag.empty() && (tag[0] == 'A' || tag[0] == 'a')) return false;
  return ActionFor(state, tag) == nullptr;
}

void HandleTag(ConversionState* state, const RunSettings& settings, std::string_view tag,
               ByteBuffer* output) {
  // Only an anchor needs its text upper-cased outside quotes, for its HREF,
  // and ExtractHref reads it so. Every other row compares the whole text
  // with a name, case aside.
  if (!tag.empty() && (tag[0] == 'A' || tag[0] == 'a')) {
    ExtractHref(state, tag);
    return;
  }
  if (tag.size() <= kMaxNameLength) {
    const uint64_t key = NameKey(tag);
    if (key == NameKey("/A") && HasLinkTarget(*state)) {
      CloseAnchor(state, settings);
      return;
    }
    if (TagActionFn act = FindTagAction(key)) {
      act(state, settings, output);
      return;
    }
  }
  // Any other tag only ends the pending word.
  if (!state->WordBuffer.empty() && !(state->FormatFlags & InHead)) Emit(state, settings, output);
}

}  // namespace qln::detail
