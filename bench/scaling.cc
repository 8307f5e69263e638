// Time per unit of the INI reader and the line filler at growing sizes: a
// flat column means linear time. Prints figures only; nothing is asserted.
//   cmake --build build/native --target pagetrix_scaling && build/native/pagetrix_scaling
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "config/ini_file.h"
#include "gen/line_filler.h"
#include "gen/placeholder_matcher.h"
#include "gen/text_sink.h"

namespace {

class CountingSink final : public TextSink {
 public:
  void Append(std::string_view text) override { bytes += text.size(); }
  size_t bytes = 0;
};

// Processor time, the best of three: the machine is shared, and waiting for
// a core is not the code's time.
double Seconds(const std::function<void()>& work) {
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    std::clock_t start = std::clock();
    work();
    double took = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    if (took < best) best = took;
  }
  return best;
}

struct Series {
  const char* name;
  const char* unit;
  std::vector<std::pair<size_t, double>> points;  // size, ns per unit
};

void Print(const Series& series) {
  double low = 1e18, high = 0;
  std::printf("%-44s", series.name);
  for (const auto& [size, ns] : series.points) {
    std::printf("  %8zu: %8.1f", size, ns);
    low = std::min(low, ns);
    high = std::max(high, ns);
  }
  std::printf("   ns/%s, max/min %.2f\n", series.unit, high / low);
}

std::string Name(size_t i) { return "Rubrik" + std::to_string(i); }

// ---- INI reader ----

std::string OneSection(size_t keys) {
  std::string text = "[Links]\r\n";
  for (size_t i = 0; i < keys; ++i)
    text += std::to_string(i) + "=Text " + std::to_string(i) + "|http://x/" + std::to_string(i) +
            ".htm|Beschreibung|Tipp\r\n";
  return text;
}

std::string ManySections(size_t sections) {
  std::string text;
  for (size_t s = 0; s < sections; ++s) {
    text += "[" + Name(s) + "]\r\nUeberschrift=Bereich\r\n";
    for (int k = 0; k < 8; ++k) text += std::to_string(k) + "=Text|link.htm\r\n";
  }
  return text;
}

void IniSeries() {
  Series load{"INI load, one section of N keys", "key", {}};
  Series value{"INI GetValue, one section of N keys", "call", {}};
  Series entry{"INI GetEntry 0..N-1, one section", "call", {}};
  for (size_t n : {10000, 100000, 1000000}) {
    std::string text = OneSection(n);
    CIniFile ini;
    load.points.push_back({n, Seconds([&] { ini.LoadFromBytes(text); }) * 1e9 / n});
    std::string out, key;
    value.points.push_back({n, Seconds([&] {
                                 for (size_t i = 0; i < 100000; ++i)
                                   ini.GetValue("links", std::to_string((i * 7919) % n), out);
                               }) * 1e9 /
                                   100000});
    entry.points.push_back({n, Seconds([&] {
                                 for (int i = 0; ini.GetEntry("LINKS", i, key, out); ++i) {
                                 }
                               }) * 1e9 /
                                   n});
  }
  Print(load);
  Print(value);
  Print(entry);

  Series sload{"INI load, N sections of 9 keys", "section", {}};
  Series svalue{"INI GetValue, N sections", "call", {}};
  for (size_t n : {1000, 10000, 100000}) {
    std::string text = ManySections(n);
    CIniFile ini;
    sload.points.push_back({n, Seconds([&] { ini.LoadFromBytes(text); }) * 1e9 / n});
    std::string out;
    svalue.points.push_back({n, Seconds([&] {
                                  for (size_t i = 0; i < 100000; ++i)
                                    ini.GetValue(Name((i * 7919) % n), "ueberschrift", out);
                                }) * 1e9 /
                                    100000});
  }
  Print(sload);
  Print(svalue);

  Series line{"INI load, one key line of N bytes", "byte", {}};
  for (size_t n : {1 << 20, 2 << 20, 8 << 20}) {
    std::string text = "[S]\r\nk=" + std::string(n, 'x') + "\r\n";
    CIniFile ini;
    line.points.push_back({n, Seconds([&] { ini.LoadFromBytes(text); }) * 1e9 / n});
  }
  Print(line);
}

// ---- Line filler ----

double FillOnce(const std::vector<std::string>& names, const std::vector<std::string>& lines,
                const std::function<void(size_t, TextSink&)>& produce) {
  std::vector<std::string> upper;
  for (const std::string& name : names) upper.push_back(ToUpperAnsi(name));
  return Seconds([&] {
    PlaceholderMatcher matcher(upper);
    CountingSink out;
    LineFiller filler(matcher, out);
    for (const std::string& line : lines) filler.FillLine(line, produce);
  });
}

void FillerSeries() {
  Series longline{"filler, a line of N bytes, one name at its end", "byte", {}};
  for (size_t n : {1 << 20, 2 << 20, 8 << 20}) {
    std::vector<std::string> lines{std::string(n, 'x') + "Links"};
    longline.points.push_back(
        {n, FillOnce({"Links", "Menu"}, lines, [](size_t, TextSink& s) { s.Append("<t>"); }) * 1e9 /
                n});
  }
  Print(longline);

  Series chain{"filler, chain: each block names the next", "section", {}};
  for (size_t n : {1000, 2000, 4000}) {
    std::vector<std::string> names;
    for (size_t i = 0; i < n; ++i) names.push_back(Name(i) + "x");
    std::string row(200, '-');
    chain.points.push_back({n, FillOnce(names, {"<p>" + names[0] + "</p>"},
                                        [&](size_t entry, TextSink& s) {
                                          s.Append(row);
                                          if (entry + 1 < n) s.Append(names[entry + 1]);
                                          s.Append(row);
                                        }) *
                                   1e9 / n});
  }
  Print(chain);

  Series inline_names{"filler, N names in one line, list order", "name", {}};
  Series reversed{"filler, N names in one line, reversed", "name", {}};
  for (size_t n : {1000, 10000, 100000}) {
    std::vector<std::string> names;
    std::string line;
    for (size_t i = 0; i < n; ++i) {
      names.push_back(Name(i) + ";");
      line += names.back() + " ";
    }
    auto block = [](size_t, TextSink& s) { s.Append("<table>...</table>"); };
    inline_names.points.push_back({n, FillOnce(names, {line}, block) * 1e9 / n});
    std::vector<std::string> backwards(names.rbegin(), names.rend());
    reversed.points.push_back({n, FillOnce(backwards, {line}, block) * 1e9 / n});
  }
  Print(inline_names);
  Print(reversed);

  Series sections{"filler, N sections, one name per line", "line", {}};
  for (size_t n : {1000, 10000, 100000}) {
    std::vector<std::string> names, lines;
    for (size_t i = 0; i < n; ++i) {
      names.push_back(Name(i) + ";");
      lines.push_back("<div class=\"teil\">" + names.back() + "</div>");
    }
    std::string row(150, 'r');
    sections.points.push_back(
        {n, FillOnce(names, lines, [&](size_t, TextSink& s) { s.Append(row); }) * 1e9 / n});
  }
  Print(sections);
}

}  // namespace

int main() {
  IniSeries();
  FillerSeries();
  return 0;
}
