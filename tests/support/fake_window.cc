#include "support/fake_window.h"

#include <algorithm>

std::string RectText(const WindowRect& rect) {
  return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
         std::to_string(rect.right) + " " + std::to_string(rect.bottom);
}

int FakeWindowSystem::RunModalDialog(DialogHandler& dialog) {
  dialogs.push_back(&dialog);
  return on_dialog ? on_dialog(dialog) : 1;
}

bool FakeWindowSystem::WriteToConsole(const std::string& text) {
  console += text;
  return true;
}

bool FakeWindowSystem::OpenDocument(const std::string& path) {
  opened_documents.push_back(path);
  return true;
}

int FakeWindowSystem::ReadProfileInt(const std::string& file, const std::string& section,
                                     const std::string& key, int default_value) {
  profile_reads.push_back(file + "|" + section + "|" + key);
  auto it = profile.find(section + "/" + key);
  return it == profile.end() ? default_value : it->second;
}

bool FakeWindowSystem::WriteProfileValues(const std::string& file, const std::string& section,
                                          const ProfileKeys& values) {
  for (const auto& [key, value] : values)
    profile_writes.push_back(file + "|" + section + "|" + key + "|" + value);
  return true;
}

namespace {

class RecordingPaint : public PaintContext {
 public:
  explicit RecordingPaint(CallLog* calls) : calls_(calls) {}
  ~RecordingPaint() override { calls_->push_back("end paint"); }
  void EraseIconBackground() override { calls_->push_back("erase"); }
  void DrawIcon(int x, int y, IconHandle) override {
    calls_->push_back("draw " + std::to_string(x) + " " + std::to_string(y));
  }
  void GetIconSize(int* width, int* height) override {
    *width = 32;
    *height = 32;
  }

 private:
  CallLog* calls_;
};

}  // namespace

void RecordingWindow::EndDialog(int result) { Log("end " + std::to_string(result)); }

void RecordingWindow::SetItemText(int id, const std::string& text) {
  state_.item_texts[id] = text;
  Log("text " + std::to_string(id) + " " + text);
}

// One call selects and scrolls; logged as the two steps it takes.
void RecordingWindow::SetItemSelection(int id, int start, int end) {
  Log("select " + std::to_string(id) + " " + std::to_string(start) + " " + std::to_string(end));
  Log("scroll caret " + std::to_string(id));
}

void RecordingWindow::EnableItem(int id, bool enable) {
  state_.enabled[id] = enable;
  Log(std::string(enable ? "enable " : "disable ") + std::to_string(id));
}

bool RecordingWindow::GetItemRect(int id, ItemArea area, WindowRect* rect) {
  const std::map<int, WindowRect>& rects =
      area == ItemArea::kText ? state_.item_text_rects : state_.item_rects;
  auto it = rects.find(id);
  if (it == rects.end()) return false;
  *rect = it->second;
  return true;
}

void RecordingWindow::MoveItem(int id, const WindowRect& rect) {
  state_.item_rects[id] = rect;
  Log("move item " + std::to_string(id) + " " + RectText(rect));
}

bool RecordingWindow::SetItemFixedPitchFont(int id) {
  Log("fixed pitch font " + std::to_string(id));
  return true;
}

bool RecordingWindow::MeasureItemText(int, const std::string& text, int* width, int* line_height) {
  size_t widest = 0;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    widest = std::max(widest, end - start - (end > start && text[end - 1] == '\r' ? 1 : 0));
  widest = std::max(widest, text.size() - start);
  *width = static_cast<int>(widest) * kCharWidth;
  *line_height = kLineHeight;
  return true;
}

bool RecordingWindow::AppendSystemMenuItem(unsigned command, const std::string& text) {
  Log("menu " + std::to_string(command) + " " + text);
  return true;
}

void RecordingWindow::SetIcons(IconHandle) {
  Log("icon big");
  Log("icon small");
}

bool RecordingWindow::GetRect(WindowArea area, WindowRect* rect) {
  switch (area) {
    case WindowArea::kWindow:
      *rect = state_.window;
      break;
    case WindowArea::kClient:
      *rect = state_.client;
      break;
    case WindowArea::kWorkArea:
      *rect = state_.work_area;
      break;
  }
  return true;
}

void RecordingWindow::MoveWindow(const WindowRect& rect, bool repaint) {
  state_.window = rect;
  if (state_.held_height != 0) state_.window.bottom = rect.top + state_.held_height;
  Log("move " + RectText(rect) + (repaint ? " repaint" : ""));
}

bool RecordingWindow::GetWindowPlacement(WindowPlacement* placement) {
  if (!state_.has_placement) return false;
  *placement = state_.placement;
  return true;
}

std::unique_ptr<PaintContext> RecordingWindow::BeginPaint() {
  Log("begin paint");
  return std::make_unique<RecordingPaint>(&state_.calls);
}
