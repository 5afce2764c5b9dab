#include "siteclient/installation_id.h"

#include <gtest/gtest.h>

#include <climits>

#include "unit/siteclient/site_fakes.h"

namespace proclens {
namespace {

using site_fakes::FakeSiteSystem;

TEST(Base62CharTest, AlphabetRunsDigitsUpperThenLower) {
  EXPECT_EQ(Base62Char(0), '0');
  EXPECT_EQ(Base62Char(9), '9');
  EXPECT_EQ(Base62Char(10), 'A');
  EXPECT_EQ(Base62Char(35), 'Z');
  EXPECT_EQ(Base62Char(36), 'a');
  EXPECT_EQ(Base62Char(61), 'z');
  EXPECT_EQ(Base62Char(62), '0');
}

TEST(Base62CharTest, NegativeAndLargeValuesUseTheAbsoluteValueModulo62) {
  EXPECT_EQ(Base62Char(-1), '1');
  EXPECT_EQ(Base62Char(-61), 'z');
  EXPECT_EQ(Base62Char(-62), '0');
  EXPECT_EQ(Base62Char(4660), 'A');
  EXPECT_EQ(Base62Char(43981), 'N');
  EXPECT_EQ(Base62Char(INT_MAX), '1');  // 2147483647 % 62 = 1
  // |INT_MIN| = 2147483648, and 2147483648 % 62 = 2: the value must not wrap.
  EXPECT_EQ(Base62Char(INT_MIN), '2');
  EXPECT_EQ(Base62Char(INT_MIN + 1), '1');
}

TEST(ChecksumCharTest, SumsTheBytesAsUnsigned) {
  EXPECT_EQ(ChecksumChar(""), '0');
  EXPECT_EQ(ChecksumChar("91AN"), '1');       // 57 + 49 + 65 + 78 = 249, 249 % 62 = 1
  EXPECT_EQ(ChecksumChar("\xA7"), 'h');       // 167 % 62 = 43
  EXPECT_EQ(ChecksumChar("\xFF\xFF"), 'E');   // 510 % 62 = 14, not a negative sum
}

TEST(VolumeRootTest, DriveLetterNetworkShareAndPosixPaths) {
  EXPECT_EQ(VolumeRootOf("C:\\Tools\\viewer.exe"), "C:\\");
  EXPECT_EQ(VolumeRootOf("d:\\viewer.exe"), "d:\\");
  EXPECT_EQ(VolumeRootOf("\\\\server\\share\\dir\\viewer.exe"), "\\\\server\\share\\");
  EXPECT_EQ(VolumeRootOf("\\\\server\\share"), "\\\\server\\share\\");
  EXPECT_EQ(VolumeRootOf("/usr/local/bin/proclens"), "/usr/local/bin/");
  EXPECT_EQ(VolumeRootOf("viewer.exe"), "\\");
}

class InstallationIdTest : public ::testing::Test {
 protected:
  InstallationIdTest() { system.volume_serials["C:\\"] = 0x1234ABCD; }
  FakeSiteSystem system;
};

TEST_F(InstallationIdTest, WorkedExamples) {
  EXPECT_EQ(InstallationId(system, system), "91AN1");
  system.lang_id = 0x0407;
  EXPECT_EQ(InstallationId(system, system), "71ANz");
  EXPECT_EQ(system.volume_roots_asked.back(), "C:\\");
}

TEST_F(InstallationIdTest, UnreadableSerialGivesZeros) {
  system.volume_serials.clear();
  EXPECT_EQ(ProgramVolumeSerial(system), 0u);
  EXPECT_EQ(InstallationId(system, system), "9100G");
  system.lang_id = 0x0407;
  EXPECT_EQ(InstallationId(system, system), "7100E");
}

TEST_F(InstallationIdTest, LanguageCharacterUsesThePrimaryLanguageBelow62) {
  system.lang_id = 0x0C0A;  // primary language 10
  EXPECT_EQ(InstallationId(system, system).substr(0, 2), "A1");
  system.lang_id = 0x007F;  // 127: too large for one character
  EXPECT_EQ(InstallationId(system, system).substr(0, 2), "01");
  system.lang_id = 0x043E;  // 62 exactly
  EXPECT_EQ(InstallationId(system, system).substr(0, 2), "01");
  system.lang_id = 0x043D;  // 61
  EXPECT_EQ(InstallationId(system, system).substr(0, 2), "z1");
}

TEST_F(InstallationIdTest, SerialHalvesAreUnsigned) {
  system.volume_serials["C:\\"] = 0xFFFFFFFF;  // 65535 % 62 = 1 for both halves
  EXPECT_EQ(InstallationId(system, system), "9111I");  // 57 + 49 + 49 + 49 = 204, 204 % 62 = 18
  system.program_path = "\\\\files\\tools\\viewer.exe";
  system.volume_serials["\\\\files\\tools\\"] = 0x80000000;  // 32768 % 62 = 32 -> W
  EXPECT_EQ(InstallationId(system, system).substr(0, 4), "91W0");
}

}  // namespace
}  // namespace proclens
