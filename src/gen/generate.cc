#include <utility>
#include <vector>

#include "base/file_name.h"
#include "base/text.h"
#include "config/environment.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/drive_part.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "platform/messages.h"
#include "platform/platform.h"

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

// A file the generator may write into the output folder: a plain name,
// and not the name of the lock the run holds there.
bool IsOutputFileName(const std::string& name) {
  return IsPlainFileName(name) && !EqualsNoCaseAscii(name, guarded::kLockFileName);
}

// Whether every page the start program is to show is a file now; each
// one that is not is logged.
bool ArePagesMade(const std::vector<std::string>& pages, LogSink& log) {
  bool made = true;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (GetPlatform().GetPathType(pages[i], /*follow_links=*/true) == guarded::PathType::kFile)
      continue;
    log.LogFailure(Message(i == 0 ? IDS_START_PAGE_MISSING : IDS_FRAME_PAGE_MISSING, pages[i]));
    made = false;
  }
  return made;
}

void AddDistinctNoCase(std::vector<std::string>& list, const std::string& directory) {
  for (const std::string& known : list) {
    if (EqualsNoCaseAscii(known, directory)) return;
  }
  list.push_back(directory);
}

}  // namespace

bool SplitPageEntry(const std::string& value, const std::string& command_directory,
                    std::string& page_file, std::string& output_name) {
  GetField(page_file, value, 1, '|');
  GetField(output_name, value, 2, '|');
  if (page_file.empty() || output_name.empty()) return false;
  CUtil parts;
  parts.SplitPathLocal(page_file);
  if (!HasDrivePart(parts)) page_file = command_directory + page_file;
  return true;
}

CGenHtml::CGenHtml(CRunLog& log, const CIniFile& main_config, const LinkFilter& filter,
                   CRightsReport& rights_report)
    : log_(log), main_config_(main_config), filter_(filter), rights_report_(rights_report) {}

void CGenHtml::Log(const std::string& text) { log_.Log(text); }

void CGenHtml::LogFailure(const std::string& text) { log_.LogFailure(text); }

void CGenHtml::Expand(std::string& value) { ExpandEnvironment(value, log_); }

GenResult CGenHtml::Generate(const std::string& command_file, std::string& start_page) {
  read_template_file_.clear();
  DeleteOldOutputDirectories();

  CIniFile commands;
  std::vector<Page> pages;
  GenResult result = ReadCommandFile(commands, command_file, pages);
  if (result != GenResult::kOk) return result;

  std::string prefix, start;
  result = PrepareOutputDirectory(commands, prefix, start);
  if (result != GenResult::kOk) return result;
  // What the start program will show: the start page and its frames' pages.
  std::vector<std::string> shown = {start};
  for (const std::string& name : FramePageNames(commands)) shown.push_back(prefix + name);
  // Without a page list the command file is the one page, already read.
  if (!pages.empty()) commands.Clear();

  std::vector<std::string> template_directories;
  result = GeneratePages(commands, command_file, pages, prefix, template_directories);
  if (result != GenResult::kOk) return result;

  result = CopyFiles(template_directories, prefix);
  // A page that was not made is never handed to the start program.
  if (!ArePagesMade(shown, log_)) return GenResult::kPageMissing;
  start_page = start;
  return result;
}

GenResult CGenHtml::ReadCommandFile(CIniFile& commands, const std::string& command_file,
                                    std::vector<Page>& pages) {
  Log(Message(IDS_READING_COMMAND_FILE, command_file));
  if (commands.Load(command_file) != 0) {
    LogFailure(Message(IDS_COMMAND_FILE_ERROR, command_file));
    return GenResult::kCommandFileError;
  }
  FillNegativeList();
  return ReadPageList(commands, command_file, pages);
}

// The output directory, the start page path and the frameset page.
GenResult CGenHtml::PrepareOutputDirectory(const CIniFile& commands, std::string& prefix,
                                           std::string& start) {
  if (CreateOutputDirectory(prefix) != GenResult::kOk) {
    LogFailure(Message(IDS_OUTPUT_DIR_FAILED));
    return GenResult::kNoOutputDirectory;
  }
  Log(Message(IDS_OUTPUT_DIR, prefix));
  std::string name;
  const bool named = commands.GetValue("FrameSet", "Name", name);
  start = prefix + (named ? name : kDefaultPage);
  // An empty name keeps naming the output folder itself; any other name
  // must stay inside it, also when no frameset is written.
  const bool inside = !named || name.empty() || IsOutputFileName(name);
  if (inside && WriteFrameSet(commands, start) != GenResult::kWriteFailed) return GenResult::kOk;
  LogFailure(Message(IDS_WRITE_FAILED, start));
  return GenResult::kWriteFailed;
}

// Without a page list the command file describes the one page itself.
GenResult CGenHtml::GeneratePages(CIniFile& commands, const std::string& command_file,
                                  std::vector<Page>& pages, const std::string& prefix,
                                  std::vector<std::string>& template_directories) {
  const bool single_page = pages.empty();
  if (single_page) {
    pages.push_back(Page{command_file, kDefaultPage});
  } else {
    AddToNegativeList(command_file);
  }
  for (const Page& page : pages) {
    GenResult result = GeneratePage(commands, page, prefix, template_directories, single_page);
    if (result != GenResult::kOk) return result;
  }
  return GenResult::kOk;
}

void CGenHtml::FillNegativeList() {
  std::string key, value;
  for (int i = 0; main_config_.GetEntry("Nicht_Kopieren", i, key, value); ++i) {
    Expand(value);
    AddToNegativeList(value);
  }
}

GenResult CGenHtml::ReadPageList(const CIniFile& commands, const std::string& command_file,
                                 std::vector<Page>& pages) {
  const std::string command_directory = CommandDirectory(command_file);
  std::string key, value;
  for (int i = 0; commands.GetEntry("Seiten", i, key, value); ++i) {
    Expand(value);
    Page page;
    if (!SplitPageEntry(value, command_directory, page.command_file, page.output_name)) {
      LogFailure(Message(IDS_COMMAND_FILE_SECTION_ERROR, command_file, "Seiten"));
      return GenResult::kPageListError;
    }
    pages.push_back(std::move(page));
  }
  return GenResult::kOk;
}

GenResult CGenHtml::GeneratePage(CIniFile& commands, const Page& page, const std::string& prefix,
                                 std::vector<std::string>& template_directories,
                                 bool commands_loaded) {
  if (!commands_loaded && commands.Load(page.command_file) != 0) {
    // This page is left out; the run goes on with the next.
    LogFailure(Message(IDS_COMMAND_FILE_ERROR, page.command_file));
    return GenResult::kOk;
  }
  if (!commands.GetValue("Vorlage", "Vorlage", template_file_)) {
    LogFailure(Message(IDS_NO_TEMPLATE, page.command_file));
    return GenResult::kNoTemplate;
  }
  Expand(template_file_);
  if (commands.GetValue("Vorlage", "Verzeichnis", template_directory_)) {
    Expand(template_directory_);
  } else {
    template_directory_ = GetDirectoryPart(page.command_file);
  }
  if (!template_directory_.empty()) {
    AppendSeparator(template_directory_);
    template_file_ = template_directory_ + template_file_;
  }
  AddDistinctNoCase(template_directories, template_directory_);
  AddToNegativeList(template_file_);
  AddToNegativeList(page.command_file);

  output_file_ = prefix + page.output_name;
  // Never opened: it would name a device or a file outside the folder.
  GenResult result = IsOutputFileName(page.output_name)
                         ? FillTemplate(commands, template_file_, output_file_, /*reuse_template=*/true)
                         : GenResult::kWriteFailed;
  if (result != GenResult::kOk)
    LogFailure(Message(IDS_PAGE_FAILED, template_file_, output_file_));
  return result;
}

// The two copy phases; the second runs only when the first succeeded.
GenResult CGenHtml::CopyFiles(const std::vector<std::string>& template_directories,
                              const std::string& prefix) {
  Log(Message(IDS_COPY_TEMPLATE_FILES));
  GenResult result = CopyTemplateFiles(template_directories, prefix);
  if (result != GenResult::kOk) LogFailure(Message(IDS_COPY_INCOMPLETE));
  Log("");
  if (result != GenResult::kOk) return result;
  Log(Message(IDS_COPY_LIST));
  result = CopyListEntries();
  Log("");
  return result;
}
