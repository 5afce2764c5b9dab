// Files, sizes and icons through the Win32 file operations.

#include <gtest/gtest.h>

#include "platform/win32/win32_file_ops.h"
#include "platform/win32/win32_image_list.h"
#include "win32/win32_test_support.h"

namespace proclens::win32 {
namespace {

using testing::Narrow;

// A file of the given length; sparse where the file system allows it.
bool MakeFileOfSize(const std::wstring& path, std::uint64_t size) {
  KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

std::string NotepadPath() {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + "\\notepad.exe";
}

TEST(FindFirstFileTest, ReportsFilesDirectoriesAndNothing) {
  testing::ScratchDirectory scratch;
  const std::wstring file = scratch.path() + L"\\seven.bin";
  ASSERT_TRUE(MakeFileOfSize(file, 7));
  Win32FileOps ops;

  const auto entry = ops.FindFirstFile(Narrow(file));
  ASSERT_TRUE(entry);
  EXPECT_FALSE(entry->is_directory);
  EXPECT_EQ(entry->size, 7u);

  const auto directory = ops.FindFirstFile(Narrow(scratch.path()));
  ASSERT_TRUE(directory);
  EXPECT_TRUE(directory->is_directory);

  EXPECT_FALSE(ops.FindFirstFile(Narrow(scratch.path() + L"\\missing.exe")));
  EXPECT_FALSE(ops.FindFirstFile(" The system cannot find the file specified"));
}

TEST(FindFirstFileTest, SizeKeepsItsHighPart) {
  testing::ScratchDirectory scratch;
  const std::wstring file = scratch.path() + L"\\big.bin";
  const std::uint64_t five_gib = 5ull << 30;
  if (!MakeFileOfSize(file, five_gib + 3)) GTEST_SKIP() << "no room for a 5 GiB file";
  Win32FileOps ops;
  const auto entry = ops.FindFirstFile(Narrow(file));
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->size, five_gib + 3);
}

TEST(ExtractIconsTest, GivesBothSizesOfAProgramIcon) {
  Win32FileOps ops;
  const ExtractedIcons icons = ops.ExtractIcons(NotepadPath());
  EXPECT_GE(icons.count, 1u);  // Wine counts the large and the small picture
  ASSERT_NE(icons.large, nullptr);
  ASSERT_NE(icons.small, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(static_cast<const Win32Icon&>(*icons.small).handle(), &info));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
}

TEST(ExtractIconsTest, ProgramWithoutIconsGivesNone) {
  Win32FileOps ops;
  const ExtractedIcons icons = ops.ExtractIcons(Narrow(testing::TestProgramPath()));
  EXPECT_EQ(icons.count, 0u);
  EXPECT_EQ(icons.small, nullptr);
  EXPECT_EQ(icons.large, nullptr);
  EXPECT_EQ(ops.ExtractIcons("C:\\proclens-missing\\missing.exe").count, 0u);
}

TEST(ImageListTest, AppendsCopiesAndDropsTheLast) {
  Win32FileOps ops;
  Win32ImageList list(16);
  ASSERT_NE(list.handle(), nullptr);
  int index = -1;
  {
    const ExtractedIcons icons = ops.ExtractIcons(NotepadPath());
    ASSERT_NE(icons.small, nullptr);
    EXPECT_EQ(list.AddIcon(*icons.small), 0);
    index = list.AddIcon(*icons.small);
  }
  // The list holds its own copies after the extracted icons are destroyed.
  EXPECT_EQ(index, 1);
  EXPECT_EQ(list.Count(), 2);
  HICON copy = ImageList_GetIcon(list.handle(), 1, ILD_NORMAL);
  EXPECT_NE(copy, nullptr);
  if (copy) DestroyIcon(copy);

  list.RemoveLastImage();
  EXPECT_EQ(list.Count(), 1);
}

TEST(ImageListTest, RefusesIconsItCannotCopy) {
  struct ForeignIcon : Icon {};
  Win32ImageList list(32);
  EXPECT_EQ(list.AddIcon(ForeignIcon()), -1);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
}  // namespace proclens::win32
