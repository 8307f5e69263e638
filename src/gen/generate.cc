#include <utility>
#include <vector>

#include "base/file_name.h"
#include "base/text.h"
#include "config/config_names.h"
#include "config/environment.h"
#include "config/ini_file.h"
#include "config/run_log.h"
#include "fs/drive_part.h"
#include "fs/util.h"
#include "gen/gen_html.h"
#include "gen/gen_observer.h"
#include "gen/output_folder.h"
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

void AddDistinctNoCase(std::vector<std::string>& list, const std::string& directory) {
  for (const std::string& known : list) {
    if (EqualsNoCaseAscii(known, directory)) return;
  }
  list.push_back(directory);
}

}  // namespace

bool IsOutputFileName(const std::string& name) {
  return IsPlainFileName(name) && !EqualsNoCaseAscii(name, kLockFileName);
}

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

CGenHtml::CGenHtml(Platform& platform, RunLog& log, const CIniFile& main_config,
                   const LinkFilter& filter, RightsReport& rights_report)
    : platform_(platform),
      log_(log),
      main_config_(main_config),
      filter_(filter),
      rights_report_(rights_report),
      own_folder_(std::make_unique<OutputFolder>(platform)),
      folder_(*own_folder_) {}

CGenHtml::CGenHtml(Platform& platform, RunLog& log, const CIniFile& main_config,
                   const LinkFilter& filter, RightsReport& rights_report, OutputFolder& folder,
                   GenObserver* observer)
    : platform_(platform),
      log_(log),
      main_config_(main_config),
      filter_(filter),
      rights_report_(rights_report),
      folder_(folder),
      observer_(observer) {}

void CGenHtml::Log(const std::string& text) { log_.Log(text); }

void CGenHtml::Fail(GenResult result, int id, const std::string& text, bool stops) {
  log_.LogFailure(text);
  if (observer_ != nullptr) observer_->OnStepFailed(result, id, text, stops);
}

// Every page the start program is to show must be a file now; each one
// that is not stops the run.
bool CGenHtml::ArePagesMade(const std::vector<std::string>& pages) {
  bool made = true;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (platform_.Inspect(pages[i], Links::kFollow).kind == PathKind::kFile) continue;
    const int id = i == 0 ? IDS_START_PAGE_MISSING : IDS_FRAME_PAGE_MISSING;
    Fail(GenResult::kPageMissing, id, Message(id, pages[i]), true);
    made = false;
  }
  return made;
}

void CGenHtml::Expand(std::string& value) { ExpandEnvironment(platform_, value, log_); }

GenResult CGenHtml::Generate(const std::string& command_file, std::string& start_page) {
  read_template_file_.clear();
  DeleteOldOutputDirectories();

  CIniFile commands;
  std::vector<Page> pages;
  std::string prefix, start;
  std::vector<std::string> template_directories;
  GenResult result = ReadCommandFile(commands, command_file, pages);
  if (result == GenResult::kOk) result = PrepareOutputDirectory(commands, prefix, start);
  if (result == GenResult::kOk) {
    // What the start program will show: the start page and its frames' pages.
    std::vector<std::string> shown = {start};
    for (const std::string& name : FramePageNames(commands)) shown.push_back(prefix + name);
    // Without a page list the command file is the one page, already read.
    if (!pages.empty()) commands.Clear();
    result = GeneratePages(commands, command_file, pages, prefix, template_directories);
    // A copy failure still leaves the pages: the start page goes back,
    // unless a page it shows was not made.
    if (result == GenResult::kOk) {
      result = CopyFiles(template_directories, prefix);
      if (ArePagesMade(shown)) start_page = start;
      else result = GenResult::kPageMissing;
    }
  }
  if (observer_ != nullptr) observer_->OnResult(result, start_page);
  return result;
}

GenResult CGenHtml::ReadCommandFile(CIniFile& commands, const std::string& command_file,
                                    std::vector<Page>& pages) {
  Log(Message(IDS_READING_COMMAND_FILE, command_file));
  const int loaded = commands.Load(platform_, command_file);
  if (observer_ != nullptr) observer_->OnCommandFile(commands, loaded, /*start=*/true);
  if (loaded != 0 && !(loaded == 4 && accept_rejected_lines_)) {
    Fail(GenResult::kCommandFileError, IDS_COMMAND_FILE_ERROR,
         Message(IDS_COMMAND_FILE_ERROR, command_file), true);
    return GenResult::kCommandFileError;
  }
  FillNegativeList();
  return ReadPageList(commands, command_file, pages);
}

// The output directory, the start page path and the frameset page.
GenResult CGenHtml::PrepareOutputDirectory(const CIniFile& commands, std::string& prefix,
                                           std::string& start) {
  if (CreateOutputDirectory(prefix) != GenResult::kOk) {
    Fail(GenResult::kNoOutputDirectory, IDS_OUTPUT_DIR_FAILED, Message(IDS_OUTPUT_DIR_FAILED),
         true);
    return GenResult::kNoOutputDirectory;
  }
  Log(Message(IDS_OUTPUT_DIR, prefix));
  std::string name;
  const bool named = commands.GetValue(names::kFrameSet, names::kName, name);
  start = prefix + (named ? name : kDefaultPage);
  // An empty name keeps naming the output folder itself; any other name
  // must stay inside it, also when no frameset is written.
  const bool inside = !named || name.empty() || IsOutputFileName(name);
  const GenResult written = inside ? WriteFrameSet(commands, start) : GenResult::kWriteFailed;
  if (observer_ != nullptr) observer_->OnFrameSet(commands, start, written);
  if (written != GenResult::kWriteFailed) return GenResult::kOk;
  Fail(GenResult::kWriteFailed, IDS_WRITE_FAILED, Message(IDS_WRITE_FAILED, start), true);
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
    negative_source_ = -1;
    AddToNegativeList(command_file);
  }
  for (const Page& page : pages) {
    GenResult result = GeneratePage(commands, page, prefix, template_directories, single_page);
    if (result != GenResult::kOk) return result;
  }
  return GenResult::kOk;
}

void CGenHtml::FillNegativeList() {
  std::string_view key, raw;
  for (int i = 0; main_config_.FindEntry(names::kNichtKopieren, i, key, raw); ++i) {
    std::string value(raw);
    Expand(value);
    negative_source_ = i;
    AddToNegativeList(value);
    if (observer_ != nullptr) observer_->OnNegativeEntry(i, raw, value);
  }
  negative_source_ = -1;
}

GenResult CGenHtml::ReadPageList(const CIniFile& commands, const std::string& command_file,
                                 std::vector<Page>& pages) {
  const std::string command_directory = CommandDirectory(command_file);
  std::string_view key, raw;
  for (int i = 0; commands.FindEntry(names::kSeiten, i, key, raw); ++i) {
    std::string value(raw);
    Expand(value);
    Page page;
    const bool complete =
        SplitPageEntry(value, command_directory, page.command_file, page.output_name);
    if (observer_ != nullptr)
      observer_->OnPageListed(commands, raw, page.command_file, page.output_name);
    if (!complete) {
      Fail(GenResult::kPageListError, IDS_COMMAND_FILE_SECTION_ERROR,
           Message(IDS_COMMAND_FILE_SECTION_ERROR, command_file, std::string(names::kSeiten)),
           true);
      return GenResult::kPageListError;
    }
    pages.push_back(std::move(page));
  }
  return GenResult::kOk;
}

GenResult CGenHtml::GeneratePage(CIniFile& commands, const Page& page, const std::string& prefix,
                                 std::vector<std::string>& template_directories,
                                 bool commands_loaded) {
  if (!commands_loaded) {
    const int loaded = commands.Load(platform_, page.command_file);
    if (observer_ != nullptr) observer_->OnCommandFile(commands, loaded, /*start=*/false);
    if (loaded != 0 && !(loaded == 4 && accept_rejected_lines_)) {
      // This page is left out; the run goes on with the next.
      Fail(GenResult::kOk, IDS_COMMAND_FILE_ERROR,
           Message(IDS_COMMAND_FILE_ERROR, page.command_file), false);
      return GenResult::kOk;
    }
  }
  if (!commands.GetValue(names::kVorlage, names::kVorlage, template_file_)) {
    Fail(GenResult::kNoTemplate, IDS_NO_TEMPLATE, Message(IDS_NO_TEMPLATE, page.command_file),
         true);
    return GenResult::kNoTemplate;
  }
  Expand(template_file_);
  if (commands.GetValue(names::kVorlage, names::kVerzeichnis, template_directory_)) {
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
  // A name that would reach a device or a file outside the folder is never
  // opened; the page fails as one that cannot be written.
  GenResult result = FillTemplate(commands, template_file_, output_file_, /*reuse_template=*/true,
                                  IsOutputFileName(page.output_name));
  if (observer_ != nullptr) observer_->OnPage(commands, output_file_, result);
  if (result != GenResult::kOk)
    Fail(result, IDS_PAGE_FAILED, Message(IDS_PAGE_FAILED, template_file_, output_file_), true);
  return result;
}

// The two copy phases; the second runs only when the first succeeded.
GenResult CGenHtml::CopyFiles(const std::vector<std::string>& template_directories,
                              const std::string& prefix) {
  Log(Message(IDS_COPY_TEMPLATE_FILES));
  GenResult result = CopyTemplateFiles(template_directories, prefix);
  if (result != GenResult::kOk)
    Fail(result, IDS_COPY_INCOMPLETE, Message(IDS_COPY_INCOMPLETE), false);
  Log("");
  if (result != GenResult::kOk) return result;
  Log(Message(IDS_COPY_LIST));
  result = CopyListEntries();
  Log("");
  return result;
}
