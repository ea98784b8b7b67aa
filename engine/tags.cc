// The tag actions. A tag is matched by its whole upper-cased text against a
// table of names; each name leads to one small action.
#include "engine/tags.h"

#include "engine/formatter.h"
#include "engine/links.h"

namespace {

constexpr std::string_view kRuleLine =
    "    ____________________________________________________________";

/// Hands the whole pending word to the formatter and empties it.
void Emit(ConversionState* state, const Settings& settings, std::string* output) {
  EmitWord(state, settings, state->WordBuffer, output);
  state->WordBuffer.clear();
}

void SetThenEmit(uint32_t flags, ConversionState* state, const Settings& settings,
                 std::string* output) {
  state->FormatFlags |= flags;
  Emit(state, settings, output);
}

using TagActionFn = void (*)(ConversionState*, const Settings&, std::string*);

void Bold(ConversionState* state, const Settings&, std::string*) {
  state->WordBuffer.append("**");
}
void Emphasis(ConversionState* state, const Settings&, std::string*) {
  state->WordBuffer.push_back('_');
}
void Italic(ConversionState* state, const Settings&, std::string*) {
  state->WordBuffer.push_back('~');
}
void LineBreak(ConversionState* state, const Settings& settings, std::string* output) {
  SetThenEmit(NewLineAfter, state, settings, output);
}
void DefinitionTerm(ConversionState* state, const Settings&, std::string*) {
  state->FormatFlags |= NoIndent;
}
void DefinitionData(ConversionState* state, const Settings& settings, std::string* output) {
  SetThenEmit(EndLineAfter, state, settings, output);
  state->FormatFlags &= ~NoIndent;
}
void HeadingStart(ConversionState* state, const Settings& settings, std::string* output) {
  SetThenEmit(NewLineAfter | EndLineAfter | NoIndent, state, settings, output);
}
void Heading1Start(ConversionState* state, const Settings& settings, std::string* output) {
  HeadingStart(state, settings, output);
  state->FormatFlags |= UnderlineDouble;
}
void Heading2Start(ConversionState* state, const Settings& settings, std::string* output) {
  HeadingStart(state, settings, output);
  state->FormatFlags |= UnderlineSingle;
}
void HeadingEnd(ConversionState* state, const Settings& settings, std::string* output) {
  SetThenEmit(NewLineAfter | EndLineAfter, state, settings, output);
  state->FormatFlags &= ~(NoIndent | UnderlineDouble | UnderlineSingle);
}
void HeadStart(ConversionState* state, const Settings&, std::string*) {
  state->FormatFlags |= InHead;
}
void HeadEnd(ConversionState* state, const Settings&, std::string*) {
  state->FormatFlags &= ~InHead;
  state->WordBuffer.clear();  // discarded, not emitted
}
void Rule(ConversionState* state, const Settings& settings, std::string* output) {
  SetThenEmit(EndLineAfter, state, settings, output);
  // The rule does not move LineColumn.
  output->append(kRuleLine);
  output->append(NewlineText(*state));
  output->append(NewlineText(*state));
}
void ListItem(ConversionState* state, const Settings& settings, std::string* output) {
  SetThenEmit(EndLineAfter | NoIndent, state, settings, output);
  EmitWord(state, settings, "*", output);
  state->FormatFlags &= ~NoIndent;
}
void Paragraph(ConversionState* state, const Settings& settings, std::string* output) {
  SetThenEmit(NewLineAfter | EndLineAfter, state, settings, output);
}
void PreStart(ConversionState* state, const Settings&, std::string*) {
  state->FormatFlags |= Preformatted;
}
void PreEnd(ConversionState* state, const Settings&, std::string*) {
  state->FormatFlags &= ~Preformatted;
}

struct TagRow {
  std::string_view name;
  TagActionFn act;
};

// Whole tag texts, upper-cased. Each name stands once, so order does not
// matter here; the anchor rows are tried before this table.
constexpr TagRow kTagRows[] = {
    {"B", Bold},          {"/B", Bold},         {"STRONG", Bold},
    {"/STRONG", Bold},    {"BR", LineBreak},    {"DT", DefinitionTerm},
    {"DD", DefinitionData}, {"EM", Emphasis},   {"/EM", Emphasis},
    {"H1", Heading1Start}, {"H2", Heading2Start}, {"H3", HeadingStart},
    {"H4", HeadingStart}, {"H5", HeadingStart}, {"H6", HeadingStart},
    {"/H1", HeadingEnd},  {"/H2", HeadingEnd},  {"/H3", HeadingEnd},
    {"/H4", HeadingEnd},  {"/H5", HeadingEnd},  {"/H6", HeadingEnd},
    {"HEAD", HeadStart},  {"TITLE", HeadStart}, {"/HEAD", HeadEnd},
    {"/TITLE", HeadEnd},  {"BODY", HeadEnd},    {"HR", Rule},
    {"I", Italic},        {"/I", Italic},       {"LI", ListItem},
    {"P", Paragraph},     {"UL", Paragraph},    {"/UL", Paragraph},
    {"PRE", PreStart},    {"/PRE", PreEnd},
};

TagActionFn FindTagAction(std::string_view tag) {
  if (tag.size() > 7) return nullptr;  // longer than every name in the table
  for (const TagRow& row : kTagRows)
    if (row.name == tag) return row.act;
  return nullptr;
}

}  // namespace

void UpperCaseOutsideQuotes(std::string* text) {
  bool quoted = false;
  for (char& c : *text) {
    if (c == '"')
      quoted = !quoted;
    else if (!quoted && c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
}

void HandleTag(ConversionState* state, const Settings& settings,
               std::string* tag, std::string* output) {
  UpperCaseOutsideQuotes(tag);
  if (!tag->empty() && (*tag)[0] == 'A') {
    ExtractHref(state, *tag);
    return;
  }
  if (*tag == "/A" && HasLinkTarget(*state)) {
    CloseAnchor(state, settings);
    return;
  }
  if (TagActionFn act = FindTagAction(*tag)) {
    act(state, settings, output);
    return;
  }
  // Any other tag only ends the pending word.
  if (!state->WordBuffer.empty() && !(state->FormatFlags & InHead))
    Emit(state, settings, output);
}
