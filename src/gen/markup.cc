#include "gen/markup.h"

#include <cstdint>

namespace {

// ---- Script strings ----

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return (c | 0x20) - 'a' + 10;
}

}  // namespace

size_t ScriptEscapeLength(std::string_view text, size_t at) {
  const size_t rest = text.size() - at;
  if (rest < 2) return 0;
  const char kind = text[at + 1];
  // A line break after a backslash continues the string; CR LF is one break.
  if (kind == '\r') return rest >= 3 && text[at + 2] == '\n' ? 3 : 2;
  if (kind == 'x') {
    return rest >= 4 && IsHexDigit(text[at + 2]) && IsHexDigit(text[at + 3]) ? 4 : 0;
  }
  if (kind != 'u') return 2;
  if (rest >= 6 && IsHexDigit(text[at + 2]) && IsHexDigit(text[at + 3]) &&
      IsHexDigit(text[at + 4]) && IsHexDigit(text[at + 5]))
    return 6;
  // \u{...}: one hex digit or more, at most 10FFFF.
  if (rest < 4 || text[at + 2] != '{') return 0;
  std::uint32_t value = 0;
  size_t i = at + 3;
  for (; i < text.size() && IsHexDigit(text[i]); ++i) {
    value = value * 16 + HexValue(text[i]);
    if (value > 0x10FFFF) return 0;
  }
  if (i == at + 3 || i == text.size() || text[i] != '}') return 0;
  return i + 1 - at;
}

namespace {

// ---- HTML in a table cell ----

bool IsAsciiAlpha(char c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'); }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c; }
// The tokenizer's white space, with CR, which the parser reads as a line feed.
bool IsHtmlSpace(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }
bool EndsTagName(char c) { return IsHtmlSpace(c) || c == '/' || c == '>'; }

bool StartsWith(std::string_view text, size_t at, std::string_view prefix) {
  return text.substr(at, prefix.size()) == prefix;
}

// The lower-case tag name starting at `at`, up to what ends a tag name.
std::string TagName(std::string_view text, size_t at) {
  std::string name;
  for (; at < text.size() && !EndsTagName(text[at]); ++at) name += LowerAscii(text[at]);
  return name;
}

// Tags a text may not hold as tags: the parts of the table around it, what
// leaves HTML for good (plaintext) or for foreign content (where CDATA and
// other rules apply), and select, whose content browsers parse by rules of
// their own.
bool IsShownAsText(std::string_view name) {
  for (std::string_view shown : {"table", "caption", "colgroup", "col", "tbody", "thead", "tfoot",
                                 "tr", "td", "th", "plaintext", "svg", "math", "select"}) {
    if (name == shown) return true;
  }
  return false;
}

// Elements whose content the tokenizer reads as text up to their end tag.
bool IsRawText(std::string_view name) {
  for (std::string_view raw :
       {"title", "textarea", "style", "xmp", "iframe", "noembed", "noframes", "noscript"}) {
    if (name == raw) return true;
  }
  return false;
}

// Where the tag whose name starts at `at` ends (past its ">"), read as the
// tokenizer reads attributes; npos when the text ends first. `quote` is then
// the quote of an attribute value left open, or 0.
size_t TagEnd(std::string_view text, size_t at, char& quote) {
  enum {
    kName,
    kBeforeName,
    kAttrName,
    kAfterName,
    kBeforeValue,
    kQuoted,
    kUnquoted,
    kAfterQuoted,
    kSelfClosing
  } state = kName;
  quote = 0;
  for (size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    switch (state) {
      case kName:
        if (IsHtmlSpace(c)) state = kBeforeName;
        else if (c == '/') state = kSelfClosing;
        else if (c == '>') return i + 1;
        break;
      case kBeforeName:
        if (c == '/') state = kSelfClosing;
        else if (c == '>') return i + 1;
        else if (!IsHtmlSpace(c)) state = kAttrName;
        break;
      case kAttrName:
        if (IsHtmlSpace(c)) state = kAfterName;
        else if (c == '/') state = kSelfClosing;
        else if (c == '>') return i + 1;
        else if (c == '=') state = kBeforeValue;
        break;
      case kAfterName:
        if (c == '/') state = kSelfClosing;
        else if (c == '=') state = kBeforeValue;
        else if (c == '>') return i + 1;
        else if (!IsHtmlSpace(c)) state = kAttrName;
        break;
      case kBeforeValue:
        if (c == '"' || c == '\'') {
          quote = c;
          state = kQuoted;
        } else if (c == '>') {
          return i + 1;
        } else if (!IsHtmlSpace(c)) {
          state = kUnquoted;
        }
        break;
      case kQuoted:
        if (c == quote) {
          quote = 0;
          state = kAfterQuoted;
        }
        break;
      case kUnquoted:
        if (IsHtmlSpace(c)) state = kBeforeName;
        else if (c == '>') return i + 1;
        break;
      case kAfterQuoted:
        if (IsHtmlSpace(c)) state = kBeforeName;
        else if (c == '/') state = kSelfClosing;
        else if (c == '>') return i + 1;
        else state = kAttrName;
        break;
      case kSelfClosing:
        if (c == '>') return i + 1;
        state = kAttrName;
        if (c == '=') state = kBeforeValue;  // an attribute named "=" takes a value
        else if (IsHtmlSpace(c)) state = kBeforeName;
        break;
    }
  }
  return std::string_view::npos;
}

// Where the comment whose "<!--" ends at `at` ends, past its closing; npos
// when the text ends inside it. The states are the tokenizer's.
size_t CommentEnd(std::string_view text, size_t at) {
  enum {
    kStart,
    kStartDash,
    kComment,
    kLess,
    kBang,
    kBangDash,
    kBangDashDash,
    kEndDash,
    kEnd,
    kEndBang
  } state = kStart;
  for (size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    switch (state) {
      case kStart:
        if (c == '-') state = kStartDash;
        else if (c == '>') return i + 1;
        else {
          state = kComment;
          --i;
        }
        break;
      case kStartDash:
        if (c == '-') state = kEnd;
        else if (c == '>') return i + 1;
        else {
          state = kComment;
          --i;
        }
        break;
      case kComment:
        if (c == '<') state = kLess;
        else if (c == '-') state = kEndDash;
        break;
      case kLess:
        if (c == '!') state = kBang;
        else if (c != '<') {
          state = kComment;
          --i;
        }
        break;
      case kBang:
        if (c == '-') state = kBangDash;
        else {
          state = kComment;
          --i;
        }
        break;
      case kBangDash:
        if (c == '-') state = kBangDashDash;
        else {
          state = kEndDash;
          --i;
        }
        break;
      case kBangDashDash:
        state = kEnd;
        --i;
        break;
      case kEndDash:
        if (c == '-') state = kEnd;
        else {
          state = kComment;
          --i;
        }
        break;
      case kEnd:
        if (c == '>') return i + 1;
        if (c == '!') state = kEndBang;
        else if (c != '-') {
          state = kComment;
          --i;
        }
        break;
      case kEndBang:
        if (c == '-') state = kEndDash;
        else if (c == '>') return i + 1;
        else {
          state = kComment;
          --i;
        }
        break;
    }
  }
  return std::string_view::npos;
}

// Reads "</name" at `at` followed by what ends a tag name; the position
// after the name, or npos.
size_t EndTagNamed(std::string_view text, size_t at, std::string_view name) {
  if (!StartsWith(text, at, "</")) return std::string_view::npos;
  size_t i = at + 2;
  for (char c : name) {
    if (i == text.size() || LowerAscii(text[i]) != c) return std::string_view::npos;
    ++i;
  }
  return i < text.size() && EndsTagName(text[i]) ? i : std::string_view::npos;
}

// Where the end tag of a raw text element starts, from `at`; npos if none.
size_t RawTextEnd(std::string_view text, size_t at, std::string_view name) {
  for (size_t i = text.find("</", at); i != std::string_view::npos; i = text.find("</", i + 1)) {
    if (EndTagNamed(text, i, name) != std::string_view::npos) return i;
  }
  return std::string_view::npos;
}

// Whether "script" (any letter case) stands at `at`, followed by what ends
// a tag name.
bool ScriptTagNameAt(std::string_view text, size_t at) {
  static constexpr std::string_view kScript = "script";
  if (at + kScript.size() >= text.size()) return false;
  for (size_t k = 0; k < kScript.size(); ++k) {
    if (LowerAscii(text[at + k]) != kScript[k]) return false;
  }
  return EndsTagName(text[at + kScript.size()]);
}

// Where "</script" ends a script's content, from `at`; npos if nowhere.
// Inside "<!--" a "<script" starts a stretch where "</script" only ends
// that stretch; "-->" ends both.
size_t ScriptEnd(std::string_view text, size_t at) {
  enum { kData, kEscaped, kDoubleEscaped } state = kData;
  int dashes = 0;  // "-" in a row, for "-->"
  for (size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '-') {
      ++dashes;
      continue;
    }
    const bool ends_comment = c == '>' && dashes >= 2;
    dashes = 0;
    if (ends_comment && state != kData) {
      state = kData;
    } else if (c == '<') {
      const bool end_tag =
          i + 1 < text.size() && text[i + 1] == '/' && ScriptTagNameAt(text, i + 2);
      if (end_tag && state != kDoubleEscaped) return i;
      if (end_tag) {
        state = kEscaped;
      } else if (state == kData && StartsWith(text, i, "<!--")) {
        state = kEscaped;
        i += 3;
        dashes = 2;  // "<!-->" ends it again at once
      } else if (state == kEscaped && ScriptTagNameAt(text, i + 1)) {
        state = kDoubleEscaped;
      }
    }
  }
  return std::string_view::npos;
}

// Where a bogus comment or declaration that starts at `at` ends, past its
// ">"; npos when the text ends first.
size_t BogusCommentEnd(std::string_view text, size_t at) {
  const size_t gt = text.find('>', at);
  return gt == std::string_view::npos ? gt : gt + 1;
}

}  // namespace

void AppendScriptString(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\\') {
      const size_t length = ScriptEscapeLength(text, i);
      if (length == 0) {
        // A backslash that begins no escape stands for itself.
        out += "\\\\";
        ++i;
        continue;
      }
      // "\/" after "<" already keeps "</" out of the page.
      out.append(text, i, length);
      i += length;
      continue;
    }
    if (c == '\'') {
      out += "\\'";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '/' && !out.empty() && out.back() == '<') {
      out += "\\/";
    } else {
      out += c;
    }
    ++i;
  }
}

void AppendAttributeValue(std::string& out, std::string_view text) {
  size_t run = 0;
  for (size_t i = text.find('"'); i != std::string_view::npos; i = text.find('"', run)) {
    out.append(text, run, i - run);
    out += "&quot;";
    run = i + 1;
  }
  out.append(text, run, text.size() - run);
}

void AppendCellHtml(std::string& out, std::string_view text) {
  constexpr size_t npos = std::string_view::npos;
  const size_t n = text.size();
  size_t i = 0;
  // Elements that hold the rest of the page until their end tag comes.
  int forms = 0;
  int templates = 0;
  const auto copy_to = [&](size_t end) {
    out.append(text, i, end - i);
    i = end;
  };
  // The "<" at i shows as text; what follows is read as text from there.
  const auto show_as_text = [&] {
    out += "&lt;";
    ++i;
  };
  while (i < n) {
    const size_t lt = text.find('<', i);
    if (lt == npos) {
      copy_to(n);
      break;
    }
    copy_to(lt);
    if (i + 1 == n) {  // before the page's next "<" a last "<" is text
      copy_to(n);
      break;
    }
    const char next = text[i + 1];
    size_t end = npos;
    if (next == '!' && StartsWith(text, i + 2, "--")) {
      end = CommentEnd(text, i + 4);
      if (end == npos) {
        copy_to(n);
        out += "-->";
        break;
      }
      copy_to(end);
      continue;
    }
    if (next == '!' && StartsWith(text, i + 2, "[CDATA[")) {
      show_as_text();
      continue;
    }
    const bool end_tag = next == '/';
    const size_t name_at = end_tag ? i + 2 : i + 1;
    if (end_tag && name_at == n) {
      show_as_text();
      continue;
    }
    if (next == '!' || next == '?' ||
        (end_tag && text[name_at] != '>' && !IsAsciiAlpha(text[name_at]))) {
      end = BogusCommentEnd(text, name_at);
      if (end == npos) {
        copy_to(n);
        out += '>';
        break;
      }
      copy_to(end);
      continue;
    }
    if (end_tag && text[name_at] == '>') {  // "</>" is dropped by the parser
      copy_to(name_at + 1);
      continue;
    }
    if (!IsAsciiAlpha(text[name_at])) {
      copy_to(i + 1);
      continue;
    }
    const std::string name = TagName(text, name_at);
    char quote = 0;
    end = IsShownAsText(name) ? npos : TagEnd(text, name_at, quote);
    if (end == npos) {
      show_as_text();
      continue;
    }
    copy_to(end);
    if (end_tag) {
      if (name == "form" && forms > 0) --forms;
      if (name == "template" && templates > 0) --templates;
      continue;
    }
    if (name == "form") ++forms;
    if (name == "template") ++templates;
    if (name != "script" && !IsRawText(name)) continue;
    const size_t close = name == "script" ? ScriptEnd(text, i) : RawTextEnd(text, i, name);
    if (close == npos) {
      copy_to(n);
      // "-->" first leaves any escaped stretch of a script.
      out += name == "script" ? "--></script>" : "</" + name + ">";
      break;
    }
    copy_to(close);
    end = TagEnd(text, i + 2, quote);
    if (end == npos) {
      copy_to(n);
      if (quote != 0) out += quote;
      out += '>';
      break;
    }
    copy_to(end);
  }
  for (; forms > 0; --forms) out += "</form>";
  for (; templates > 0; --templates) out += "</template>";
}
