#include "gen/line_filler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "base/text.h"

namespace {

// The rule written out the plain way: each name in list order is searched in
// an upper-cased copy of the line as changed so far and replaced there.
std::string Reference(std::string line, const std::vector<std::string>& names,
                      const std::vector<std::string>& blocks, std::vector<size_t>& calls) {
  for (size_t i = 0; i < names.size(); ++i) {
    size_t pos = ToUpperAnsi(line).find(ToUpperAnsi(names[i]));
    if (pos == std::string::npos) continue;
    calls.push_back(i);
    line.replace(pos, names[i].size(), blocks[i]);
  }
  return line;
}

std::vector<std::string> Upper(const std::vector<std::string>& names) {
  std::vector<std::string> upper;
  for (const std::string& name : names) upper.push_back(ToUpperAnsi(name));
  return upper;
}

struct Filled {
  std::string text;
  std::vector<size_t> calls;
};

// Blocks are handed over in small parts, as the writers do.
Filled Fill(const std::string& line, const std::vector<std::string>& names,
            const std::vector<std::string>& blocks, size_t part = 3) {
  PlaceholderMatcher matcher(Upper(names));
  StringTextSink out;
  LineFiller filler(matcher, out);
  Filled filled;
  filler.FillLine(line, [&](size_t entry, TextSink& sink) {
    filled.calls.push_back(entry);
    const std::string& block = blocks[entry];
    for (size_t at = 0; at < block.size(); at += part) sink.Append(block.substr(at, part));
  });
  filled.text = out.text();
  return filled;
}

std::string Dump(const std::vector<std::string>& names, const std::vector<std::string>& blocks) {
  std::string text;
  for (size_t i = 0; i < names.size(); ++i) text += "\n  '" + names[i] + "' -> '" + blocks[i] + "'";
  return text;
}

// Up to `max` bytes drawn from `alphabet`.
std::string RandomText(std::mt19937& random, const std::string& alphabet, size_t max) {
  std::string s;
  size_t n = random() % (max + 1);
  for (size_t i = 0; i < n; ++i) s.push_back(alphabet[random() % alphabet.size()]);
  return s;
}

void ExpectLikeReference(const std::string& line, const std::vector<std::string>& names,
                         const std::vector<std::string>& blocks) {
  std::vector<size_t> calls;
  std::string expected = Reference(line, names, blocks, calls);
  for (size_t part : {size_t{1}, size_t{4}, size_t{100000}}) {
    Filled filled = Fill(line, names, blocks, part);
    ASSERT_EQ(expected, filled.text)
        << "line '" << line << "' part " << part << Dump(names, blocks);
    ASSERT_EQ(calls, filled.calls) << "line '" << line << "'";
  }
}

TEST(LineFillerTest, CasesOfTheRule) {
  // A name inside a longer word, in any letter case.
  ExpectLikeReference("<td>links</td>", {"Links"}, {"[T]"});
  // Menu before Menu2: MENU matches at the start of Menu2, MENU2 is then
  // searched in the changed line and is not found.
  ExpectLikeReference("x Menu2 y", {"Menu", "Menu2"}, {"<m>", "<m2>"});
  // Only the first of two occurrences.
  ExpectLikeReference("A and A", {"A"}, {"1"});
  // A later name found in the block just inserted, and in a name the
  // replacement joins from both sides of the block.
  ExpectLikeReference("go", {"go", "Next"}, {"a next b", "!"});
  ExpectLikeReference("xABy", {"AB", "XY"}, {"", "joined"});
  ExpectLikeReference("x-AB-y", {"AB", "-Q-"}, {"Q", "z"});
  // A byte that begins a name only with a byte after it that a later
  // replacement brings: it must not be written out with the text before a
  // name replaced first further on.
  const std::string filler(100, '.');
  ExpectLikeReference("ab-" + filler + "Q", {"Q", "-", "bX"}, {"q", "X", "!"});
  ExpectLikeReference(filler + "rb-" + filler + "Q", {"Q", "-", "Rub", "bX"},
                      {"q", "Xub", "?", "!"});
  // The same through a chain: each replacement brings the start byte before
  // it a name, back to the first byte of the line.
  ExpectLikeReference("00EXN", {"x", "e", "0u", "0u"}, {"", "u", "u", ""});
  ExpectLikeReference("ab000E" + filler + "Q", {"Q", "e", "0u", "0u", "0u"},
                      {"", "u", "u", "u", "!"});
  // Earlier names are not searched again, even when a block brings them.
  ExpectLikeReference("one", {"one", "two"}, {"one two", "2"});
  // A later name standing before an earlier one in the line.
  ExpectLikeReference("MENU LINKS", {"links", "menu"}, {"<l>", "<m>"});
  // Windows-1252 upper case: the umlaut matches its capital.
  ExpectLikeReference("\xE4nderung", {"\xC4nderung"}, {"done"});
  // The same name twice in the list: the second takes the next occurrence.
  ExpectLikeReference("A b A", {"a", "A"}, {"1", "2"});
  ExpectLikeReference("", {"A"}, {"1"});
  ExpectLikeReference("no names here", {}, {});
}

TEST(LineFillerTest, RandomLinesAgreeWithTheRule) {
  std::mt19937 random(8);
  const std::string alphabet = "abAB-\xE4\xC4";
  auto text = [&](size_t max) { return RandomText(random, alphabet, max); };
  for (int round = 0; round < 4000; ++round) {
    std::vector<std::string> names, blocks;
    size_t count = 1 + random() % 6;
    for (size_t i = 0; i < count; ++i) {
      std::string name = text(3);
      if (name.empty()) name = "a";
      names.push_back(name);
      // Blocks often hold later names.
      std::string block = text(4);
      if (random() % 2) block += names[random() % names.size()] + text(2);
      blocks.push_back(block);
    }
    // Names that come later may be in an earlier block too.
    for (size_t i = 0; i < count; ++i)
      if (random() % 3 == 0) blocks[i] += names[random() % count];
    ExpectLikeReference(text(24), names, blocks);
    if (HasFatalFailure()) return;
  }
}

TEST(LineFillerTest, RepeatedNamesAgreeWithTheRule) {
  // Few short names, each standing in the list several times, in lines of
  // bytes that begin them: the replacements chain back through the line.
  std::mt19937 random(6);
  const std::string alphabet = "0uExN.";
  auto text = [&](size_t max) { return RandomText(random, alphabet, max); };
  for (int round = 0; round < 20000; ++round) {
    std::vector<std::string> distinct;
    size_t distinct_count = 1 + random() % 4;
    for (size_t i = 0; i < distinct_count; ++i) {
      std::string name = text(3);
      distinct.push_back(name.empty() ? "0u" : name);
    }
    std::vector<std::string> names, blocks;
    size_t count = 1 + random() % 8;
    for (size_t i = 0; i < count; ++i) {
      names.push_back(distinct[random() % distinct_count]);
      blocks.push_back(text(3));
    }
    ExpectLikeReference(text(10) + std::string(random() % 40, '.') + text(10), names, blocks);
    if (HasFatalFailure()) return;
  }
}

TEST(LineFillerTest, ChainOfSectionsNamingTheNext) {
  // Each block names the next section: every block is searched once.
  std::vector<std::string> names, blocks;
  const int count = 300;
  for (int i = 0; i < count; ++i) names.push_back("S" + std::to_string(i) + "x");
  for (int i = 0; i < count; ++i)
    blocks.push_back("<" + std::to_string(i) +
                     (i + 1 < count ? " S" + std::to_string(i + 1) + "x" : "") + ">");
  ExpectLikeReference("start S0x end", names, blocks);
}

TEST(LineFillerTest, ManyNamesInOneLineInOrder) {
  std::vector<std::string> names, blocks;
  std::string line;
  for (int i = 0; i < 500; ++i) {
    names.push_back("N" + std::to_string(i) + ";");
    blocks.push_back("<" + std::to_string(i) + ">");
    line += "N" + std::to_string(i) + "; ";
  }
  ExpectLikeReference(line, names, blocks);
  // The same, with the names found from the end of the line towards its start.
  std::reverse(names.begin(), names.end());
  std::reverse(blocks.begin(), blocks.end());
  ExpectLikeReference(line, names, blocks);
}

TEST(LineFillerTest, LargeBlockIsWrittenWhileItIsMade) {
  // With no later name left, a block's parts reach the output as they come.
  PlaceholderMatcher matcher(Upper({"Links"}));
  StringTextSink out;
  LineFiller filler(matcher, out);
  size_t seen_during = 0;
  filler.FillLine("<p>Links</p>", [&](size_t, TextSink& sink) {
    for (int i = 0; i < 1000; ++i) sink.Append("row\r\n");
    seen_during = out.text().size();
  });
  EXPECT_EQ(3u + 5000u, seen_during);
  EXPECT_EQ(3u + 5000u + 4u, out.text().size());
}

}  // namespace
