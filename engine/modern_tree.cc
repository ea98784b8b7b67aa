// What the markup around the text means in the modern profile. Elements are
// told apart by name; nothing is nested but the lists, so broken markup
// cannot leave the text in a wrong state for long.
#include "modern_tree.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <type_traits>

#include "links.h"
#include "modern_layout.h"

namespace qln::detail {
namespace {

constexpr size_t kMaxListDepth = 32;  // deeper lists lay out as this deep

ModernState& S(const ModernRun& run) { return *run.state; }

/// The elements the conversion tells apart; any other is kOther.
enum class Element : uint8_t {
  kOther,
  // What the head holds.
  kHtml,
  kHead,
  kTitle,
  kMeta,
  kLink,
  kStyle,
  kScript,
  kNoscript,
  kTemplate,
  kBase,
  kBasefont,
  kBgsound,
  // The body.
  kBody,
  // Form controls: their text is a word apart from the words around it.
  kTextarea,
  kButton,
  kInput,
  kOption,
  kSelect,
  // Blocks.
  kP,
  kDiv,
  kSection,
  kArticle,
  kHeader,
  kFooter,
  kNav,
  kMain,
  kAside,
  kBlockquote,
  kFigure,
  kFigcaption,
  kForm,
  kAddress,
  kFieldset,
  kLegend,
  kTable,
  kTr,
  kUl,
  kOl,
  kDl,
  kLi,
  kDt,
  kDd,
  kH1,
  kH2,
  kH3,
  kH4,
  kH5,
  kH6,
  kPre,
  kHr,
  // The rest that acts.
  kTd,
  kTh,
  kBr,
  kImg,
  kA,
  kB,
  kStrong,
  kI,
  kEm,
};

struct NamedElement {
  std::string_view name;
  Element element;
};

// Sorted by name.
constexpr NamedElement kElements[] = {
    {"a", Element::kA},
    {"address", Element::kAddress},
    {"article", Element::kArticle},
    {"aside", Element::kAside},
    {"b", Element::kB},
    {"base", Element::kBase},
    {"basefont", Element::kBasefont},
    {"bgsound", Element::kBgsound},
    {"blockquote", Element::kBlockquote},
    {"body", Element::kBody},
    {"br", Element::kBr},
    {"button", Element::kButton},
    {"dd", Element::kDd},
    {"div", Element::kDiv},
    {"dl", Element::kDl},
    {"dt", Element::kDt},
    {"em", Element::kEm},
    {"fieldset", Element::kFieldset},
    {"figcaption", Element::kFigcaption},
    {"figure", Element::kFigure},
    {"footer", Element::kFooter},
    {"form", Element::kForm},
    {"h1", Element::kH1},
    {"h2", Element::kH2},
    {"h3", Element::kH3},
    {"h4", Element::kH4},
    {"h5", Element::kH5},
    {"h6", Element::kH6},
    {"head", Element::kHead},
    {"header", Element::kHeader},
    {"hr", Element::kHr},
    {"html", Element::kHtml},
    {"i", Element::kI},
    {"img", Element::kImg},
    {"input", Element::kInput},
    {"legend", Element::kLegend},
    {"li", Element::kLi},
    {"link", Element::kLink},
    {"main", Element::kMain},
    {"meta", Element::kMeta},
    {"nav", Element::kNav},
    {"noscript", Element::kNoscript},
    {"ol", Element::kOl},
    {"option", Element::kOption},
    {"p", Element::kP},
    {"pre", Element::kPre},
    {"script", Element::kScript},
    {"section", Element::kSection},
    {"select", Element::kSelect},
    {"strong", Element::kStrong},
    {"style", Element::kStyle},
    {"table", Element::kTable},
    {"td", Element::kTd},
    {"template", Element::kTemplate},
    {"textarea", Element::kTextarea},
    {"th", Element::kTh},
    {"title", Element::kTitle},
    {"tr", Element::kTr},
    {"ul", Element::kUl},
};

static_assert(std::is_sorted(std::begin(kElements), std::end(kElements),
                             [](const NamedElement& a, const NamedElement& b) {
                               return a.name < b.name;
                             }));

/// A name of at most 16 bytes as two numbers: its first and last eight bytes
/// (overlapping, or the name and zero bytes when it is shorter), and its
/// length in the top byte of the first. Equal keys mean equal names.
struct NameKey {
  uint64_t head = 0, tail = 0;
  bool operator==(const NameKey&) const = default;
};
constexpr NameKey KeyOf(std::string_view name) {
  const size_t n = name.size();
  // The `count` (at most 8) bytes from `from`, the first in the lowest byte:
  // at run time from two loads that overlap, rather than a byte at a time.
  const auto bytes = [&](size_t from, size_t count) {
    uint64_t word = 0;
    if (std::is_constant_evaluated() || count < 4) {
      for (size_t i = 0; i < count; i++)
        word |= uint64_t{static_cast<unsigned char>(name[from + i])} << (8 * i);
    } else {
      uint32_t low, high;
      std::memcpy(&low, name.data() + from, 4);
      std::memcpy(&high, name.data() + from + count - 4, 4);
      word = low | uint64_t{high} << (8 * (count - 4));
    }
    return word;
  };
  NameKey key;
  key.head = bytes(0, std::min<size_t>(n, 7)) | uint64_t{n} << 56;
  key.tail = n > 7 ? bytes(n - std::min<size_t>(n - 7, 8), std::min<size_t>(n - 7, 8)) : 0;
  return key;
}

/// A key's slot in kElementIndex.
constexpr size_t kIndexBits = 8;
constexpr size_t SlotOf(const NameKey& key) {
  return static_cast<size_t>(((key.head ^ key.tail * 31) * 0x9E3779B97F4A7C15u) >>
                             (64 - kIndexBits));
}

struct KeyedElement {
  NameKey key;
  Element element = Element::kOther;  // kOther: an empty slot
};

// The elements in an open-addressing table a few times larger than their
// number, so that most names of other elements meet an empty slot at once.
constexpr auto kElementIndex = [] {
  std::array<KeyedElement, size_t{1} << kIndexBits> index{};
  for (const NamedElement& element : kElements) {
    const NameKey key = KeyOf(element.name);
    size_t slot = SlotOf(key);
    while (index[slot].element != Element::kOther) slot = (slot + 1) % index.size();
    index[slot] = {key, element.element};
  }
  return index;
}();

Element ElementOf(std::string_view name) {
  if (name.empty() || name.size() > 14) return Element::kOther;  // "figcaption" is the longest
  const NameKey key = KeyOf(name);
  for (size_t slot = SlotOf(key);; slot = (slot + 1) % kElementIndex.size()) {
    if (kElementIndex[slot].element == Element::kOther) return Element::kOther;
    if (kElementIndex[slot].key == key) return kElementIndex[slot].element;
  }
}

/// HTML's whitespace.
bool IsHtmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

/// Elements that may stand in the head: they do not end it.
bool BelongsToHead(Element element) {
  return element >= Element::kHtml && element <= Element::kBgsound;
}

/// Form controls, whose start and end tags part the words around them
/// (BreaksWordAtControl).
bool IsFormControl(Element element) {
  return element >= Element::kTextarea && element <= Element::kSelect;
}

/// Elements that start a new line, and end it.
bool IsBlock(Element element) { return element >= Element::kP && element <= Element::kHr; }

/// 1 to 6 for h1 to h6, else 0.
int HeadingLevel(Element element) {
  return element >= Element::kH1 && element <= Element::kH6
             ? static_cast<int>(element) - static_cast<int>(Element::kH1) + 1
             : 0;
}

/// Paragraphs and headings are set off by a blank line; other blocks by a
/// line end.
LineBreak BreakFor(Element element) {
  return element == Element::kP || HeadingLevel(element) > 0 ? LineBreak::kBlankLine
                                                             : LineBreak::kLine;
}

/// The mark a tag of emphasis adds at its start and end (empty for other
/// tags), and its slot in ModernState::open_marks: b and strong share one.
struct Mark {
  std::string_view text;
  size_t slot;
};

Mark MarkFor(Element element) {
  switch (element) {
    case Element::kB:
    case Element::kStrong:
      return {"**", 0};
    case Element::kI:
      return {"~", 1};
    case Element::kEm:
      return {"_", 2};
    default:
      return {"", 0};
  }
}

/// The number an attribute gives, or `fallback`.
int64_t NumberOf(std::string_view text, int64_t fallback) {
  // As browsers read it: whitespace first, then a sign and digits.
  while (!text.empty() && IsHtmlSpace(text.front())) text.remove_prefix(1);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return fallback;
  }
  int64_t number = fallback;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  (void)end;
  return error == std::errc() ? number : fallback;
}

/// A link's target as browsers read it, into `url`, so that each stands on
/// one line of the reference list: tabs and line ends are taken out, control
/// characters and spaces at either end go, and control characters within are
/// written as %XX.
void ReadUrl(std::string_view value, ByteBuffer* url) {
  const auto is_c0_or_space = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  const auto is_control = [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7F;
  };
  while (!value.empty() && is_c0_or_space(value.front())) value.remove_prefix(1);
  while (!value.empty() && is_c0_or_space(value.back())) value.remove_suffix(1);
  url->assign(value);
  // Eight bytes at a time: a byte below 0x20, or 0x7F, sets its top bit here
  // (the bytes of 0x80 and above are left out).
  constexpr uint64_t kOnes = 0x0101010101010101u, kTops = 0x8080808080808080u;
  size_t at = 0;
  bool plain = true;
  for (; plain && at + 8 <= value.size(); at += 8) {
    uint64_t word;
    std::memcpy(&word, value.data() + at, 8);
    const uint64_t low = (word - 0x20 * kOnes) & ~word;
    const uint64_t del = ((word ^ 0x7F * kOnes) - kOnes) & ~(word ^ 0x7F * kOnes);
    plain = ((low | del) & kTops) == 0;
  }
  if (plain && std::none_of(value.begin() + static_cast<ptrdiff_t>(at), value.end(), is_control))
    return;
  url->clear();
  for (char c : value) {
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (is_control(c)) {
      const auto byte = static_cast<unsigned char>(c);
      url->push_back('%');
      url->push_back("0123456789ABCDEF"[byte >> 4]);
      url->push_back("0123456789ABCDEF"[byte & 15]);
    } else {
      url->push_back(c);
    }
  }
}

/// Text-only content begins: the tokenizer reads up to `</name>`.
void BeginTextOnly(const ModernRun& run, std::string_view name, bool decodes, bool kept) {
  ModernState& state = S(run);
  state.state = TokenizerState::kTextOnly;
  state.text_only_end = std::string(name);
  state.text_only_decodes = decodes;
  state.text_only_kept = kept;
  state.script_escape = ModernState::ScriptEscape::kNone;
}

void CloseLink(const ModernRun& run) {
  ModernState& state = S(run);
  if (!state.link_open) return;
  state.link_open = false;
  const bool after_text = !state.link_awaits_text;
  state.link_awaits_text = false;
  if (run.settings.DoURLs != 1 || state.href.empty() || state.href[0] == '#') return;
  char number[24] = "[";
  char* end = std::to_chars(number + 1, number + sizeof number - 1,
                            RegisterUrl(&state.urls, state.href) + 1)
                  .ptr;
  *end++ = ']';
  PlaceLinkNumber(run, std::string_view(number, static_cast<size_t>(end - number)), after_text);
}

/// Ends the level that an item outside any list opened, if it is the
/// innermost: its end tag, a heading, a table or a rule ends the item, so
/// that what follows is not indented under it.
void EndStrayItem(ModernState* state) {
  if (!state->lists.empty() && state->lists.back().stray) state->lists.pop_back();
}

void StartListItem(const ModernRun& run, const TagToken& tag) {
  ModernState& state = S(run);
  if (state.lists.empty()) state.lists.push_back(ListLevel{.stray = true});  // outside a list
  ListLevel& list = state.lists.back();
  if (!tag.value.empty()) list.next_number = NumberOf(tag.value, list.next_number);
  const std::string marker = list.ordered ? std::to_string(list.next_number) + "." : "*";
  // The numbers stop at the largest there is rather than wrap around.
  if (list.next_number < std::numeric_limits<int64_t>::max()) list.next_number++;
  const int64_t width = static_cast<int64_t>(marker.size());
  list.text_column = list.marker_column + width + 1;
  // The outermost items' text stands at the left margin where the marker
  // leaves room, as in the classic profile.
  if (state.lists.size() == 1)
    list.text_column = std::max<int64_t>(list.text_column, run.settings.LeftMargin);
  PlaceListMarker(run, marker, list.marker_column);
}

void StartList(const ModernRun& run, const TagToken& tag) {
  ModernState& state = S(run);
  BlockBoundary(run, LineBreak::kLine);
  ListLevel level;
  level.ordered = tag.name == "ol";
  level.next_number = level.ordered ? NumberOf(tag.start, 1) : 1;
  // Each level of nesting adds two columns, from under the outermost items'
  // text when a wide left margin puts that past column 2.
  level.marker_column = 2 * static_cast<int64_t>(std::min(state.lists.size(), kMaxListDepth));
  if (!state.lists.empty())
    level.marker_column += std::max<int64_t>(0, run.settings.LeftMargin - 2);
  level.text_column = state.lists.empty() ? run.settings.LeftMargin : level.marker_column + 2;
  if (state.lists.size() < kMaxListDepth)
    state.lists.push_back(level);
  else
    state.lists_past_depth++;
}

/// True for the cells of a table row.
bool IsCell(Element element) { return element == Element::kTd || element == Element::kTh; }

/// A block, or the end of one, ends an open paragraph as browsers read it:
/// "<p>a<ul>" sets the list off by a blank line as "<p>a</p><ul>" does.
/// Within a table the paragraph ends with its cell or row, on the row's line.
void EndParagraph(const ModernRun& run, Element element) {
  ModernState& state = S(run);
  if (!state.in_paragraph || !(IsBlock(element) || IsCell(element))) return;
  state.in_paragraph = false;
  if (!IsCell(element) && element != Element::kTr) BlockBoundary(run, LineBreak::kBlankLine);
}

void StartElement(const ModernRun& run, const TagToken& tag, Element element) {
  ModernState& state = S(run);
  EndParagraph(run, element);
  if (element == Element::kP) state.in_paragraph = true;
  switch (element) {
    case Element::kUl:
    case Element::kOl:
      StartList(run, tag);
      return;
    case Element::kLi:
      BlockBoundary(run, LineBreak::kLine);
      StartListItem(run, tag);
      return;
    case Element::kDt:
    case Element::kDd:
      BlockBoundary(run, LineBreak::kLine);
      state.in_definition_term = element == Element::kDt;
      state.item_start = true;
      return;
    case Element::kPre:
      state.item_start = false;  // its lines stand at column 0: never on a marker's or cell's line
      state.cell_gap = false;
      BlockBoundary(run, LineBreak::kLine);
      state.preformatted++;
      state.skip_line_feed = true;
      return;
    case Element::kHr:
      PlaceRule(run);
      EndStrayItem(&state);
      return;
    case Element::kTr:
      // A row after a row or a cell ends its line, even an empty one; the
      // first row of a table right after a list marker stays on its line.
      if (state.row_has_cell || state.cell_gap) state.item_start = false;
      BlockBoundary(run, LineBreak::kLine);
      state.row_has_cell = false;
      return;
    case Element::kTd:
    case Element::kTh:
      // A row is one line: a cell goes on after the one before, even when
      // that one ended a block.
      EndWord(run);
      state.glue_next = false;  // a cell's text never joins the one before
      if (state.row_has_cell) {
        state.cell_gap = true;
        // (A row's first cells that placed nothing leave its line break owed.)
        if (!state.item_start) state.pending_break = LineBreak::kNone;
      }
      state.row_has_cell = true;
      state.item_start = true;
      return;
    case Element::kBr:
      BreakLine(run);
      return;
    case Element::kImg:
      EndWord(run);
      if (!tag.alt.empty()) {
        state.link_awaits_text = false;
        if (state.preformatted > 0)
          LayoutPreformattedText(run, tag.alt);  // its spaces kept, as the text's
        else
          LayoutText(run, tag.alt);
        EndWord(run);
      }
      return;
    case Element::kA:
      CloseLink(run);
      if (tag.has_href) {
        state.link_open = true;
        state.link_awaits_text = true;
        ReadUrl(tag.href, &state.href);
      }
      return;
    default:
      break;
  }
  if (const int level = HeadingLevel(element)) {
    // The line before the heading ends now, so that it gets no underline.
    EndWord(run);
    const bool after_marker = state.item_start && state.pending_break == LineBreak::kNone;
    if (!after_marker) EndStrayItem(&state);  // a heading that begins the item is in it
    BlockBoundary(run, LineBreak::kBlankLine);
    if (!after_marker) EndLineNow(run);
    state.heading = level;
  } else if (IsBlock(element)) {
    BlockBoundary(run, BreakFor(element));
    if (element == Element::kTable) {
      state.row_has_cell = false;  // its first cell begins a row, with or without <tr>
      EndStrayItem(&state);
    }
  } else if (const Mark mark = MarkFor(element); !mark.text.empty()) {
    state.open_marks[mark.slot]++;
    OpenMark(run, mark.text);
  } else if (IsFormControl(element)) {
    state.word_break_owed = true;
  }
  // Any other tag leaves the word as it is: "foo<span>bar</span>" is one word.
}

void EndElement(const ModernRun& run, Element element) {
  ModernState& state = S(run);
  // A row, table or list that ends ends the line of its last marker or cell,
  // even when that one was empty.
  if (element == Element::kTr || element == Element::kTable || element == Element::kUl ||
      element == Element::kOl || element == Element::kDl)
    state.item_start = false;
  EndParagraph(run, element);
  switch (element) {
    case Element::kUl:
    case Element::kOl:
      BlockBoundary(run, LineBreak::kLine);
      if (state.lists_past_depth > 0)
        state.lists_past_depth--;  // a list laid out as the deepest one ends
      else if (!state.lists.empty())
        state.lists.pop_back();
      return;
    case Element::kDt:
    case Element::kDd:
    case Element::kDl:
      BlockBoundary(run, LineBreak::kLine);
      state.in_definition_term = false;
      return;
    case Element::kPre:
      BlockBoundary(run, LineBreak::kLine);
      if (state.preformatted > 0) state.preformatted--;
      return;
    case Element::kBr:
      BreakLine(run);  // "</br>" is read as "<br>"
      return;
    case Element::kA:
      CloseLink(run);
      return;
    default:
      break;
  }
  if (HeadingLevel(element) > 0) {
    CloseLink(run);  // a link around the heading is numbered on its line
    EndLineNow(run);
    state.heading = 0;
    BlockBoundary(run, LineBreak::kBlankLine);
  } else if (IsBlock(element)) {
    BlockBoundary(run, BreakFor(element));
    if (element == Element::kLi) EndStrayItem(&state);
  } else if (const Mark mark = MarkFor(element);
             !mark.text.empty() && state.open_marks[mark.slot] > 0) {
    // An end tag with no element of its kind open writes no mark.
    state.open_marks[mark.slot]--;
    CloseMark(run, mark.text);
  } else if (IsFormControl(element)) {
    state.word_break_owed = true;
  }
}

/// True when a form control between the pending word and `text` parts them:
/// "One</option><option>Two" is two words, unless punctuation joins them to
/// the control's text, as in "OK</button>," or "(<button>x</button>)".
bool BreaksWordAtControl(const ModernState& state, std::string_view text) {
  if (text.empty() || state.word_only_marks || state.word.size() <= state.word_open_marks)
    return false;
  const char last = state.word[state.word.size() - state.word_open_marks - 1];
  const auto among = [](std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
  };
  return !among("([{\"'", last) && !among(",.;:!?)]}\"'%", text.front());
}

}  // namespace

namespace {

/// Lays out text that goes where the text before it went.
void Layout(const ModernRun& run, std::string_view text) {
  if (S(run).preformatted > 0)
    LayoutPreformattedText(run, text);
  else
    LayoutText(run, text);
}

/// OnText when the head is open, a form control has just ended or a link
/// waits for its text.
[[gnu::noinline]] void OnTextAfterChange(const ModernRun& run, std::string_view text) {
  ModernState& state = S(run);
  if (state.in_head) {
    // Whitespace stays in the head; any other text ends it.
    const size_t first = text.find_first_not_of(" \t\n\f\r\v");
    if (first == std::string_view::npos) return;
    state.in_head = false;
    state.in_body = true;
  }
  if (state.word_break_owed) {
    state.word_break_owed = false;
    if (BreaksWordAtControl(state, text)) EndWord(run);
  }
  if (state.link_awaits_text)
    state.link_awaits_text = std::all_of(text.begin(), text.end(), IsHtmlSpace);
  Layout(run, text);
}

}  // namespace

void OnText(const ModernRun& run, std::string_view text, bool text_only) {
  const ModernState& state = S(run);
  if (text_only ? !state.text_only_kept : state.dropped_depth > 0) return;
  // Each way ends in a call of its own, so that the commonest needs no frame.
  if (state.in_head || state.word_break_owed || state.link_awaits_text)
    OnTextAfterChange(run, text);
  else
    Layout(run, text);
}

namespace {

/// The tag of an element that may do something.
[[gnu::noinline]] void OnElementTag(const ModernRun& run, const TagToken& tag, Element element) {
  ModernState& state = S(run);
  if (tag.end) {
    if (element == Element::kTemplate) {
      if (state.dropped_depth > 0) state.dropped_depth--;
      return;
    }
    if (element == Element::kHead) state.in_head = false;
    if (state.dropped_depth > 0 || state.in_head) return;
    EndElement(run, element);
    return;
  }
  // Start tags. The content of template is left out, and so is the text of
  // script, style and title.
  switch (element) {
    case Element::kTemplate:
      state.dropped_depth++;
      return;
    case Element::kScript:
    case Element::kStyle:
      BeginTextOnly(run, tag.name, false, false);
      return;
    case Element::kTitle:
      BeginTextOnly(run, tag.name, true, false);
      return;
    default:
      break;
  }
  if (state.dropped_depth > 0) return;
  // What a head holds does not end it; the body, or any element the body
  // holds, does.
  if (state.in_head) {
    if (BelongsToHead(element)) return;
    state.in_head = false;
    state.in_body = true;
    if (element == Element::kBody) return;
  }
  if (element == Element::kTextarea) BeginTextOnly(run, tag.name, true, true);
  StartElement(run, tag, element);
}

}  // namespace

void OnTag(const ModernRun& run, const TagToken& tag) {
  const Element element = ElementOf(tag.name);
  // Any other element does nothing, start or end tag, but end the head: the
  // commonest tags ("span", "code") end here.
  if (element == Element::kOther && !S(run).in_head) return;
  OnElementTag(run, tag, element);
}

void FinishTree(const ModernRun& run) { CloseLink(run); }

}  // namespace qln::detail
