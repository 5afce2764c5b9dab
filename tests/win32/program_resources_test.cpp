// The resources linked into proclens.exe, read from the built program as the
// window, the page builder and the browser control's res:// addresses read them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/window/resource_ids.h"
#include "proclens_version.h"

#ifdef PROCLENS_PROGRAM_PATH
namespace proclens::win32 {
namespace {

// The build passes the program's path in the build host's form; Wine shows
// the host's root as drive Z:.
std::string ProgramPath() {
  std::string path = "Z:" PROCLENS_PROGRAM_PATH;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

class ProgramResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = LoadLibraryExA(ProgramPath().c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program_, nullptr) << ProgramPath() << " error " << GetLastError();
  }
  void TearDown() override {
    if (program_) FreeLibrary(program_);
  }
  bool Has(const char* type, const char* name) const {
    return FindResourceA(program_, name, type) != nullptr;
  }

  HMODULE program_ = nullptr;
};

TEST_F(ProgramResourcesTest, WindowPicturesAreThere) {
  EXPECT_TRUE(Has(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_PROCLENS)));
  EXPECT_TRUE(Has(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_SYSTEM_PROCESS)));
  EXPECT_TRUE(Has(RT_GROUP_ICON, MAKEINTRESOURCEA(IDI_MISSING_FILE)));
  for (int glyph : {IDB_VIEW_LARGE, IDB_VIEW_SMALL, IDB_VIEW_REPORT}) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(program_, MAKEINTRESOURCEA(glyph), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(bitmap, nullptr) << glyph;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 23);
    EXPECT_EQ(info.bmHeight, 19);
    DeleteObject(bitmap);
  }
  // The program icon in the sizes the window, the logo and the shell ask for.
  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(
        LoadImageA(program_, MAKEINTRESOURCEA(IDI_PROCLENS), IMAGE_ICON, size, size, 0));
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(icon);
  }
}

TEST_F(ProgramResourcesTest, ManifestAsksForCommonControlsSixAndDpiAwareness) {
  HRSRC found = FindResourceA(program_, MAKEINTRESOURCEA(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(program_, found)));
  const std::string manifest(bytes, SizeofResource(program_, found));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
}

TEST_F(ProgramResourcesTest, VersionInformationIsOurOwn) {
  const std::string path = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));
  const auto text = [&block](const std::string& name) -> std::string {
    char* value = nullptr;
    UINT length = 0;
    const std::string key = "\\StringFileInfo\\040904B0\\" + name;
    return VerQueryValueA(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ? value : "";
  };
  EXPECT_EQ(text("ProductName"), "ProcLens");
  EXPECT_EQ(text("OriginalFilename"), "proclens.exe");
  // The version that CMakeLists.txt gives the whole project, in words and in numbers.
  EXPECT_EQ(text("FileVersion"), PROCLENS_VERSION);
  EXPECT_EQ(text("ProductVersion"), PROCLENS_VERSION);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(PROCLENS_VERSION_MAJOR << 16 | PROCLENS_VERSION_MINOR));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(PROCLENS_VERSION_PATCH << 16));
}

TEST_F(ProgramResourcesTest, NamedResourcesAreFoundByTypeAndName) {
  // Every file under resources/res is in the program, under its own name.
  EXPECT_TRUE(Has(RT_RCDATA, "PROC_EN_HTML"));
  EXPECT_TRUE(Has(RT_RCDATA, "proc_de_html"));
  EXPECT_TRUE(Has("GIF", "AWARDS"));
  EXPECT_TRUE(Has("gif", "awards"));
  EXPECT_FALSE(Has("GIF", "NO_SUCH_PICTURE"));
}

}  // namespace
}  // namespace proclens::win32
#endif  // PROCLENS_PROGRAM_PATH
