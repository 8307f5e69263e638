#include "platform/command_line_split.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::string>;

TEST(SplitWindowsCommandLineTest, BlanksAndTabsSeparate) {
  EXPECT_EQ(SplitWindowsCommandLine("  a \t b\tc  "), (Words{"a", "b", "c"}));
  EXPECT_EQ(SplitWindowsCommandLine(""), Words{});
  EXPECT_EQ(SplitWindowsCommandLine(" \t "), Words{});
}

TEST(SplitWindowsCommandLineTest, QuotesGroupAndAreDropped) {
  EXPECT_EQ(SplitWindowsCommandLine("\"a b\" c"), (Words{"a b", "c"}));
  EXPECT_EQ(SplitWindowsCommandLine("x\"a b\"y z"), (Words{"xa by", "z"}));
  EXPECT_EQ(SplitWindowsCommandLine("/INI=\"C:\\My Files\\x.ini\""),
            (Words{"/INI=C:\\My Files\\x.ini"}));
  // An unclosed quote runs to the end.
  EXPECT_EQ(SplitWindowsCommandLine("\"a b"), (Words{"a b"}));
}

TEST(SplitWindowsCommandLineTest, EmptyQuotedArgumentsCount) {
  EXPECT_EQ(SplitWindowsCommandLine("a \"\" b"), (Words{"a", "", "b"}));
  EXPECT_EQ(SplitWindowsCommandLine("\"\""), (Words{""}));
  EXPECT_EQ(SplitWindowsCommandLine("\""), (Words{""}));
}

TEST(SplitWindowsCommandLineTest, DoubledQuoteInsideQuotesIsOneQuote) {
  EXPECT_EQ(SplitWindowsCommandLine("\"a\"\"b\" c"), (Words{"a\"b", "c"}));
  EXPECT_EQ(SplitWindowsCommandLine("\"\"\"\""), (Words{"\""}));
}

TEST(SplitWindowsCommandLineTest, BackslashRules) {
  // Backslashes not before a quote are literal.
  EXPECT_EQ(SplitWindowsCommandLine("C:\\dir\\ \\\\srv\\share"),
            (Words{"C:\\dir\\", "\\\\srv\\share"}));
  // 2n backslashes before a quote: n backslashes, the quote is a delimiter.
  EXPECT_EQ(SplitWindowsCommandLine("\"C:\\dir\\\\\" x"), (Words{"C:\\dir\\", "x"}));
  EXPECT_EQ(SplitWindowsCommandLine("a\\\\\\\\\"b c\""), (Words{"a\\\\b c"}));
  // 2n+1 backslashes before a quote: n backslashes and a literal quote.
  EXPECT_EQ(SplitWindowsCommandLine("a\\\"b"), (Words{"a\"b"}));
  EXPECT_EQ(SplitWindowsCommandLine("a\\\\\\\"b c"), (Words{"a\\\"b", "c"}));
  // A lone escaped quote inside quotes does not close them.
  EXPECT_EQ(SplitWindowsCommandLine("\"a \\\" b\""), (Words{"a \" b"}));
}

TEST(SplitProgramNameTest, QuotedNameRunsToClosingQuote) {
  std::string rest;
  EXPECT_EQ(SplitProgramName("\"C:\\Program Files\\b.exe\"  \t/a \"x\"", &rest),
            "C:\\Program Files\\b.exe");
  EXPECT_EQ(rest, "/a \"x\"");
  // No backslash rules in the program name.
  EXPECT_EQ(SplitProgramName("\"C:\\dir\\\" x", &rest), "C:\\dir\\");
  EXPECT_EQ(rest, "x");
}

TEST(SplitProgramNameTest, UnquotedNameRunsToFirstBlank) {
  std::string rest;
  EXPECT_EQ(SplitProgramName("b.exe\tx y ", &rest), "b.exe");
  EXPECT_EQ(rest, "x y ");
  EXPECT_EQ(SplitProgramName("b.exe", &rest), "b.exe");
  EXPECT_EQ(rest, "");
  EXPECT_EQ(SplitProgramName("a\"b c\" d", &rest), "a\"b");
  EXPECT_EQ(rest, "c\" d");
}

TEST(QuoteWindowsArgumentTest, PlainArgumentsStayUnquoted) {
  EXPECT_EQ(QuoteWindowsArgument("INI=C:\\x.ini"), "INI=C:\\x.ini");
  EXPECT_EQ(QuoteWindowsArgument("\\\\srv\\share\\"), "\\\\srv\\share\\");
  EXPECT_EQ(QuoteWindowsArgument(""), "\"\"");
  EXPECT_EQ(QuoteWindowsArgument("C:\\My Dir\\"), "\"C:\\My Dir\\\\\"");
}

TEST(QuoteWindowsArgumentTest, SplittingGivesTheArgumentsBack) {
  const Words arguments = {"",   "plain",    "two words",   "tab\there", "q\"uote",
                           "\"", "end\\",    "blank end\\", "b\\\\\"q",  "\\\\srv\\share",
                           "  ", "x\\\\\\ y"};
  std::string line;
  for (const std::string& argument : arguments) {
    if (!line.empty()) line.push_back(' ');
    line += QuoteWindowsArgument(argument);
  }
  EXPECT_EQ(SplitWindowsCommandLine(line), arguments);
}

}  // namespace
