#pragma once
// The offline page's platform in memory: resources by name, temporary files
// in a map, a program path, the user's language and the Windows or Linux
// path rules; every failure of the file calls can be switched on.

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "infopage/offline_page.h"
#include "unit/infopage/fake_version_platform.h"
#include "unit/infopage/version_block_builder.h"
#include "fakes/fake_process_facts.h"
#include "fakes/fake_system_info.h"

namespace proclens::testing {

inline std::string AsciiUpper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

using FakePageSystem = fakes::FakeSystemInfo;

class FakeResources : public ResourceOps {
 public:
  std::map<std::string, std::string> rcdata;  // keyed by upper-case name
  std::optional<std::string> LoadRcData(const std::string& name) override {
    const auto found = rcdata.find(AsciiUpper(name));
    if (found == rcdata.end()) return std::nullopt;
    return found->second;
  }
};

class FakePageFiles : public PageFileOps {
 public:
  std::string program_path = "C:\\Program Files\\ProcLens\\proclens.exe";
  std::optional<std::string> temp_folder = "C:\\Temp\\";
  bool create_fails = false;
  bool write_fails = false;
  std::string error_text = "Access is denied.";
  std::map<std::string, std::string> files;  // path -> content
  int program_path_calls = 0;

  std::string ProgramPath() override {
    ++program_path_calls;
    return program_path;
  }
  std::optional<std::string> TemporaryFolder() override { return temp_folder; }
  std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                 const std::string& prefix) override {
    if (create_fails) return std::nullopt;
    const std::string path = folder + prefix + std::to_string(++created_) + ".tmp";
    files[path] = "";
    return path;
  }
  bool WriteWholeFile(const std::string& path, std::string_view bytes) override {
    if (write_fails || files.count(path) == 0) return false;
    files[path] = std::string(bytes);
    return true;
  }
  std::string LastErrorText() override { return error_text; }

 private:
  int created_ = 0;
};

// A version block whose U.S. English string table holds the three texts.
inline std::vector<std::uint8_t> VersionBlockWith(const std::u16string& description,
                                                  const std::u16string& product,
                                                  const std::u16string& company) {
  return Serialize(VersionRoot({StringFileInfo({StringTable(
      u"040904E4",
      {{u"FileDescription", description}, {u"ProductName", product}, {u"CompanyName", company}})})}));
}

// Answers every check with one result and keeps what it was asked.
class FakeVerify : public VerifyOps {
 public:
  FileCheck CheckFile(const std::string& path, std::uint32_t pid, std::uint64_t size_limit) override {
    asked.push_back({path, pid, size_limit});
    return result;
  }
  struct Question {
    std::string path;
    std::uint32_t pid;
    std::uint64_t size_limit;
  };
  FileCheck result;
  std::vector<Question> asked;
};

struct FakePagePlatform {
  FakeVersionPlatform versions;
  FakePageSystem system;
  FakeResources resources;
  FakePageFiles files;
  FakeVerify verify;
  bool with_verify = false;
  fakes::FakeProcessFacts facts;
  bool with_facts = false;

  OfflinePagePlatform Page() {
    return {versions, system, resources, files, with_verify ? &verify : nullptr, with_facts ? &facts : nullptr};
  }
  void UseLinuxPaths() {
    system.traits.path_separator = '/';
    files.program_path = "/usr/bin/proclens";
  }
};

}  // namespace proclens::testing
