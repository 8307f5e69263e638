/// Writing command-file values into pages so that no value can break the
/// page around it: each value ends where its field ends.
#ifndef PAGETRIX_GEN_MARKUP_H_
#define PAGETRIX_GEN_MARKUP_H_

#include <string>
#include <string_view>

/// Appends `text` as the inside of a single-quoted string of an inline
/// script. Every escape sequence the script reads today is kept (a value may
/// rely on "\t" or "\\"); what would end the string early or leave it open
/// is written as the character it stands for: a quote, a line break, a
/// backslash at the end or before an invalid \x or \u sequence. "</" is
/// written "<\/", so that no value can end the script element.
void AppendScriptString(std::string& out, std::string_view text);
/// The length of the escape sequence at `at` (a backslash) as a script
/// reads it, or 0 where a script would reject it (AppendScriptString then
/// writes the backslash as itself).
size_t ScriptEscapeLength(std::string_view text, size_t at);

/// Appends `text` as the inside of a double-quoted attribute value: a quote
/// is written "&quot;", everything else as it stands.
void AppendAttributeValue(std::string& out, std::string_view text);

/// Appends `text` as HTML inside a table cell. Its markup stays inside the
/// cell and ends with the text:
/// - what the text leaves open at its end is closed as if the text ended the
///   page: a comment, a declaration, the raw text of script, style,
///   textarea, title and the like, a form or template element;
/// - a tag the text does not finish, and the tags that would move the
///   page's table, leave HTML or take the rest of the page (table parts,
///   svg, math, plaintext, CDATA), show as text ("&lt;" for their "<").
/// A text without such markup is written unchanged.
void AppendCellHtml(std::string& out, std::string_view text);

#endif  // PAGETRIX_GEN_MARKUP_H_
