#pragma once
// The site client's message box shown through the window's modal dialog.

#include <string>

#include "app/controls.h"
#include "siteclient/site_client.h"

namespace proclens {

class DialogMessageBox : public MessageBoxHost {
 public:
  explicit DialogMessageBox(MessageDialog& dialog) : dialog_(dialog) {}
  void ShowMessage(const std::string& caption, const std::string& text) override {
    dialog_.ShowModal(caption, text);
  }

 private:
  MessageDialog& dialog_;
};

}  // namespace proclens
