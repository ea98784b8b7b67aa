// The tag actions. A tag is matched by its whole upper-cased text against a
// table of names; each name leads to one small action.
#include "tags.h"

#include <cstdint>

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
  TagAction act;
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

}  // namespace

constexpr TagIndex kTagIndex = [] {
  TagIndex index{};
  for (const TagRow& row : kTagRows) {
    const uint64_t key = NameKey(row.name);
    // Two names in one slot: SlotOf needs another multiplier.
    if (index[SlotOf(key)].key != 0) throw "two tag names share a slot";
    index[SlotOf(key)] = {key, row.act};
  }
  return index;
}();

void CloseAnchorAction(ConversionState* state, const RunSettings& settings, ByteBuffer*) {
  CloseAnchor(state, settings);
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
  if (const TagAction act = ActionFor(*state, tag)) {
    act(state, settings, output);
    return;
  }
  // Any other tag only ends the pending word.
  if (!state->WordBuffer.empty() && !(state->FormatFlags & InHead)) Emit(state, settings, output);
}

}  // namespace qln::detail
