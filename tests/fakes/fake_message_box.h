#pragma once
// The window's message box as the tests see it: every message shown is kept,
// and while_open runs while one is "open" (the window's loop runs then).

#include <functional>
#include <string>
#include <vector>

#include "siteclient/site_client.h"

namespace proclens::fakes {

class FakeMessageBox : public MessageBoxHost {
 public:
  struct Shown {
    std::string caption;
    std::string text;
  };
  std::vector<Shown> shown;
  std::function<void(const Shown&)> while_open;

  void ShowMessage(const std::string& caption, const std::string& text) override {
    shown.push_back({caption, text});
    if (while_open) while_open(shown.back());
  }
};

}  // namespace proclens::fakes
