/// Where a writer puts the text it makes.
#ifndef PAGETRIX_GEN_TEXT_SINK_H_
#define PAGETRIX_GEN_TEXT_SINK_H_

#include <string>
#include <string_view>

/// Receives text in parts: a page being written, or a string.
class TextSink {
 public:
  virtual ~TextSink() = default;
  virtual void Append(std::string_view text) = 0;
};

/// Collects the text in a string.
class StringTextSink final : public TextSink {
 public:
  void Append(std::string_view text) override { text_.append(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

#endif  // PAGETRIX_GEN_TEXT_SINK_H_
