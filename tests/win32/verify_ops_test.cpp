// The signature check: the mapping of WinVerifyTrust's answers, files of the
// Wine prefix, and (run by signed-file-test.sh) a program signed with a
// throwaway key and self-signed certificate.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/win32/win32_api.h"
#include "platform/win32/win32_trust_state.h"
#include "platform/win32/win32_verify_ops.h"
#include "win32/win32_test_support.h"

#include <wincrypt.h>

namespace proclens::win32 {
namespace {

using testing::Narrow;

TEST(TrustStateTest, EveryAnswerHasItsState) {
  const struct {
    unsigned long result;
    const char* state;
  } cases[] = {
      {0, "signed"},
      {0x800B0100, "unsigned"},    // TRUST_E_NOSIGNATURE
      {0x800B0003, "unsigned"},    // TRUST_E_SUBJECT_FORM_UNKNOWN
      {0x800B0109, "untrusted"},   // CERT_E_UNTRUSTEDROOT
      {0x800B010A, "untrusted"},   // CERT_E_CHAINING
      {0x800B010D, "untrusted"},   // CERT_E_UNTRUSTEDTESTROOT
      {0x80004005, "untrusted"},   // E_FAIL: nothing vouches for the file
      {0x80096010, "invalid"},     // TRUST_E_BAD_DIGEST
      {0x80091007, "invalid"},     // CRYPT_E_HASH_VALUE
      {0x80090006, "invalid"},     // NTE_BAD_SIGNATURE
      {0x80096011, "invalid"},     // TRUST_E_MALFORMED_SIGNATURE
      {0x8009200D, "invalid"},     // CRYPT_E_BAD_MSG
      {0x80092003, "unreadable"},  // CRYPT_E_FILE_ERROR
      {0x80070020, "unreadable"},  // a sharing violation, as an HRESULT
      {5, "unreadable"},           // access denied, as a plain Win32 error
  };
  for (const auto& c : cases) {
    const long result = static_cast<long>(c.result);
    EXPECT_STREQ(FileStateFromTrustResult(result), c.state) << std::hex << c.result;
    EXPECT_EQ(HasNoEmbeddedSignature(result), std::string(c.state) == "unsigned") << std::hex << c.result;
  }
  // A success over a chain that ends in no trusted root (0x20) or is cut short (0x10000).
  EXPECT_EQ(TrustResultWithChain(0, 0x10), 0);
  EXPECT_EQ(static_cast<unsigned long>(TrustResultWithChain(0, 0x30)), 0x800B0109u);
  EXPECT_EQ(static_cast<unsigned long>(TrustResultWithChain(0, 0x10020)), 0x800B010Au);
  EXPECT_EQ(static_cast<unsigned long>(TrustResultWithChain(0x80096010, 0x20)), 0x80096010u);
}

TEST(Win32VerifyOpsTest, FilesOfThePrefix) {
  const std::string program = Narrow(testing::TestProgramPath());
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  ASSERT_TRUE(GetFileAttributesExA(program.c_str(), GetFileExInfoStandard, &data));
  const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  testing::ScratchDirectory scratch;
  const struct {
    std::string path;
    std::uint64_t size_limit;
    const char* state;
  } cases[] = {
      {"C:\\windows\\system32\\notepad.exe", UINT64_MAX, "unsigned"},
      {program, size, "unsigned"},
      {program, size - 1, "not-checked"},
      {Narrow(scratch.path()) + "\\missing.exe", UINT64_MAX, "unreadable"},
      {Narrow(scratch.path()), UINT64_MAX, "unreadable"},  // a folder
  };
  Win32VerifyOps ops;
  for (const auto& c : cases) {
    const FileCheck check = ops.CheckFile(c.path, GetCurrentProcessId(), c.size_limit);
    EXPECT_EQ(check.state, c.state) << c.path << " limit " << c.size_limit;
    EXPECT_EQ(check.signer, "");
  }
}

std::vector<char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// signed-file-test.sh runs each test in a process of its own: a process keeps
// the Root store it read when it first built a certificate chain.
class SignedFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* sample = std::getenv("PROCLENS_SIGNED_SAMPLE");
    const char* certificate = std::getenv("PROCLENS_SIGNING_CERTIFICATE");
    if (!sample || !certificate) GTEST_SKIP() << "run by signed-file-test.sh";
    signed_ = sample;
    certificate_ = ReadAll(certificate);
    ASSERT_FALSE(certificate_.empty());
  }

  Win32VerifyOps ops_;
  std::string signed_;
  std::vector<char> certificate_;
};

TEST_F(SignedFileTest, SelfSignedIsUntrustedAndAChangedByteInvalid) {
  EXPECT_EQ(ops_.CheckFile(signed_, 0, UINT64_MAX).state, "untrusted");

  std::vector<char> image = ReadAll(signed_);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(image.data() + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* code = IMAGE_FIRST_SECTION(nt);  // .text comes first in MinGW's programs
  ASSERT_TRUE(code->Characteristics & IMAGE_SCN_CNT_CODE);
  image.at(code->PointerToRawData + code->SizeOfRawData / 2) ^= 1;
  testing::ScratchDirectory scratch;
  const std::string changed = Narrow(scratch.path()) + "\\changed.exe";
  std::ofstream(changed, std::ios::binary).write(image.data(), static_cast<std::streamsize>(image.size()));
  EXPECT_EQ(ops_.CheckFile(changed, 0, UINT64_MAX).state, "invalid");
}

TEST_F(SignedFileTest, TrustedRootMakesItSignedByTheCertificatesName) {
  // Written to the prefix's registry at once; signed-file-test.sh removes it.
  ASSERT_TRUE(CertAddEncodedCertificateToSystemStoreW(L"Root", reinterpret_cast<const BYTE*>(certificate_.data()),
                                                      static_cast<DWORD>(certificate_.size())));
  const FileCheck check = ops_.CheckFile(signed_, 0, UINT64_MAX);
  EXPECT_EQ(check.state, "signed");
  EXPECT_EQ(check.signer, "ProcLens Pr\xFC" "fstelle");
}

}  // namespace
}  // namespace proclens::win32
