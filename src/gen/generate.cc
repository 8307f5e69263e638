#include <utility>
#include <vector>

#include "app/helpers.h"
#include "app/pagetrix_app.h"
#include "config/ini_file.h"
#include "config/text.h"
#include "fs/drive_part.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/platform.h"
#include "res/messages.h"

namespace {

const char kDefaultPage[] = "Pagetrix.htm";

void AppendSeparator(std::string& directory) {
  if (directory.empty() || directory.back() != kPathSeparator) directory += kPathSeparator;
}

// The directory relative page command files are taken from. A command file
// named without any directory keeps them relative to the current directory
// (where it lies itself) instead of sending them to the root of the drive.
std::string CommandDirectory(const std::string& command_file) {
  std::string directory = GetDirectoryPart(command_file);
  if (!directory.empty()) AppendSeparator(directory);
  return directory;
}

void AddDistinctNoCase(std::vector<std::string>& list, const std::string& directory) {
  for (const std::string& known : list) {
    if (EqualsNoCaseAscii(known, directory)) return;
  }
  list.push_back(directory);
}

}  // namespace

int CGenHtml::Generate(const std::string& command_file, std::string& start_page) {
  CPagetrixApp& app = TheApp();
  DeleteOldOutputDirectories();

  app.Log(Message(IDS_READING_COMMAND_FILE, command_file));
  CIniFile commands;
  if (commands.Load(command_file) != 0) {
    app.Log(Message(IDS_COMMAND_FILE_ERROR, command_file));
    return 1;
  }
  const std::string command_directory = CommandDirectory(command_file);

  std::string key, value;
  for (int i = 0; app.MainConfig().GetEntry("Nicht_Kopieren", i, key, value); ++i) {
    ExpandEnvironment(value);
    AddToNegativeList(value);
  }

  // (page command file, output file name), in the order of [Seiten].
  std::vector<std::pair<std::string, std::string>> pages;
  for (int i = 0; commands.GetEntry("Seiten", i, key, value); ++i) {
    ExpandEnvironment(value);
    std::string page_file, output_name;
    GetField(page_file, value, 1, '|');
    GetField(output_name, value, 2, '|');
    if (page_file.empty() || output_name.empty()) {
      app.Log(Message(IDS_COMMAND_FILE_SECTION_ERROR, command_file, "Seiten"));
      return 5;
    }
    CUtil parts;
    parts.SplitPathLocal(page_file);
    if (!HasDrivePart(parts)) page_file = command_directory + page_file;
    pages.emplace_back(std::move(page_file), std::move(output_name));
  }

  std::string prefix;
  if (CreateOutputDirectory(prefix) != 0) {
    app.Log(Message(IDS_OUTPUT_DIR_FAILED));
    return 3;
  }
  app.Log(Message(IDS_OUTPUT_DIR, prefix));

  std::string name;
  const std::string start =
      prefix + (commands.GetValue("FrameSet", "Name", name) ? name : kDefaultPage);
  if (WriteFrameSet(commands, start) == 7) {
    app.Log(Message(IDS_WRITE_FAILED, start));
    return 7;
  }
  commands.Clear();

  if (pages.empty()) {
    pages.emplace_back(command_file, kDefaultPage);
  } else {
    AddToNegativeList(command_file);
  }

  std::vector<std::string> template_directories;
  for (const auto& [page_file, output_name] : pages) {
    if (commands.Load(page_file) != 0) {
      app.Log(Message(IDS_COMMAND_FILE_ERROR, page_file));
      continue;
    }
    if (!commands.GetValue("Vorlage", "Vorlage", template_file_)) {
      app.Log(Message(IDS_NO_TEMPLATE, page_file));
      return 2;
    }
    ExpandEnvironment(template_file_);
    if (commands.GetValue("Vorlage", "Verzeichnis", template_directory_)) {
      ExpandEnvironment(template_directory_);
    } else {
      template_directory_ = GetDirectoryPart(page_file);
    }
    if (!template_directory_.empty()) {
      AppendSeparator(template_directory_);
      template_file_ = template_directory_ + template_file_;
    }
    AddDistinctNoCase(template_directories, template_directory_);
    AddToNegativeList(template_file_);
    AddToNegativeList(page_file);

    output_file_ = prefix + output_name;
    int result = FillTemplate(commands, template_file_, output_file_);
    if (result != 0) {
      app.Log(Message(IDS_PAGE_FAILED, template_file_, output_file_));
      return result;
    }
  }

  app.Log(Message(IDS_COPY_TEMPLATE_FILES));
  int result = CopyTemplateFiles(template_directories, prefix);
  if (result != 0) app.Log(Message(IDS_COPY_INCOMPLETE));
  app.Log("");
  if (result == 0) {
    app.Log(Message(IDS_COPY_LIST));
    result = CopyListEntries();
    app.Log("");
  }
  start_page = start;
  return result;
}
