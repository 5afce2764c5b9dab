#include "siteclient/site_base.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace proclens {
namespace {

constexpr char kVariable[] = "PROCLENS_SITE_BASE";

// The Windows runtime has no setenv; an empty value there removes the variable.
void SetVariable(const char* value) {
#if defined(_WIN32)
  _putenv_s(kVariable, value);
#else
  setenv(kVariable, value, 1);
#endif
}

void RemoveVariable() {
#if defined(_WIN32)
  _putenv_s(kVariable, "");
#else
  unsetenv(kVariable);
#endif
}

// Puts the variable back as it was when the test ends.
class SiteBaseVariable {
 public:
  SiteBaseVariable() {
    const char* value = std::getenv(kVariable);
    if (value != nullptr) saved_ = value;
    had_value_ = value != nullptr;
  }
  ~SiteBaseVariable() {
    if (had_value_) {
      SetVariable(saved_.c_str());
    } else {
      RemoveVariable();
    }
  }
  void Set(const char* value) { SetVariable(value); }

 private:
  std::string saved_;
  bool had_value_ = false;
};

TEST(SiteBaseTest, EnvironmentOverridesTheBuiltInBase) {
  SiteBaseVariable variable;
  RemoveVariable();
  const std::string built_in = SiteBase();
  EXPECT_EQ(built_in.rfind("http", 0), 0u) << built_in;
  EXPECT_EQ(built_in.back(), '/');

  variable.Set("http://127.0.0.1:8123/");
  EXPECT_EQ(SiteBase(), "http://127.0.0.1:8123/");
  variable.Set("http://127.0.0.1:8123/site");  // every path is appended after a slash
  EXPECT_EQ(SiteBase(), "http://127.0.0.1:8123/site/");
  variable.Set("");  // an empty variable names no site
  EXPECT_EQ(SiteBase(), built_in);
}

}  // namespace
}  // namespace proclens
