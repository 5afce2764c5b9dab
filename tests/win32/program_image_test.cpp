// The built proclens.exe as Windows loads it: a 64-bit GUI program that needs
// no runtime DLL beside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32/win32_api.h"

#ifdef PROCLENS_PROGRAM_PATH
namespace proclens::win32 {
namespace {

std::string ProgramBytes() {
  std::string path = "Z:" PROCLENS_PROGRAM_PATH;
  std::replace(path.begin(), path.end(), '/', '\\');
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(ProgramImageTest, IsA64BitGuiProgram) {
  const std::string bytes = ProgramBytes();
  ASSERT_GT(bytes.size(), sizeof(IMAGE_DOS_HEADER));
  IMAGE_DOS_HEADER dos;
  memcpy(&dos, bytes.data(), sizeof(dos));
  ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
  ASSERT_GT(bytes.size(), static_cast<std::size_t>(dos.e_lfanew) + sizeof(IMAGE_NT_HEADERS64));
  IMAGE_NT_HEADERS64 nt;
  memcpy(&nt, bytes.data() + dos.e_lfanew, sizeof(nt));
  ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
  EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
  EXPECT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC);
  EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

TEST(ProgramImageTest, NeedsNoCompilerRuntimeDll) {
  std::string bytes = ProgramBytes();
  ASSERT_FALSE(bytes.empty());
  std::transform(bytes.begin(), bytes.end(), bytes.begin(),
                 [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  for (const char* runtime : {"libstdc++-6.dll", "libgcc_s_seh-1.dll", "libwinpthread-1.dll"}) {
    EXPECT_EQ(bytes.find(runtime), std::string::npos) << runtime;
  }
  EXPECT_NE(bytes.find("comctl32.dll"), std::string::npos);  // the search itself works
}

}  // namespace
}  // namespace proclens::win32
#endif  // PROCLENS_PROGRAM_PATH
