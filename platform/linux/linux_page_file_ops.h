#pragma once
// The program's path and the offline page files on Linux: /proc/self/exe,
// $TMPDIR (else /tmp), mkstemps. The files end in ".html" so that the web
// view takes them for HTML whatever their content looks like.

#include <optional>
#include <string>
#include <string_view>

#include "platform/page_file_ops.h"

namespace proclens::linux_port {

inline constexpr char kPageFileSuffix[] = ".html";

class LinuxPageFileOps : public PageFileOps {
 public:
  std::string ProgramPath() override;
  std::optional<std::string> TemporaryFolder() override;
  std::optional<std::string> CreateTemporaryFile(const std::string& folder,
                                                 const std::string& prefix) override;
  bool WriteWholeFile(const std::string& path, std::string_view bytes) override;
  std::string LastErrorText() override;

 private:
  int last_error_ = 0;
};

}  // namespace proclens::linux_port
