#pragma once
// A main window on fake controls and a fake system, with one event log for all.

#include <gtest/gtest.h>

#include <functional>

#include "app/tform1.h"
#include "unit/app/fake_controls.h"
#include "unit/app/logging_platform.h"

namespace proclens::fakes {

class FormFixture : public ::testing::Test {
 protected:
  FormFixture() {
    log.browser = &web_browser;
    system.RunProcesses({{100, "alpha.exe"}, {200, "Beta.exe"}});
  }

  TForm1& Form() {
    if (!form_) {
      FormControls controls{window,         list_view,          large_images,  small_images,
                            web_browser,    status_bar,         top_label,     large_button,
                            small_button,   report_button,      menu_item,     message_dialog};
      FormPlatform platform{CataloguePlatform{system, system, system, system}, screen};
      form_ = std::make_unique<TForm1>(controls, platform, compose_agent_string);
    }
    return *form_;
  }

  EventLog log;
  FakeFormWindow window{&log};
  FakeListView list_view{&log};
  FakeImageList large_images;
  FakeImageList small_images;
  FakeWebBrowser web_browser;
  FakeStatusBar status_bar{&log};
  FakeLabel top_label{&log};
  FakeSpeedButton large_button{690, layout::kLargeSpeedButtonWidth};
  FakeSpeedButton small_button{719, layout::kSmallSpeedButtonWidth};
  FakeSpeedButton report_button{749, layout::kReportSpeedButtonWidth, true};
  FakeMenuItem menu_item{&log};
  FakeMessageDialog message_dialog;
  FakeScreenMetrics screen;
  LoggingPlatform system{log};
  std::function<void()> compose_agent_string = [this] { log.Add("agent"); };

 private:
  std::unique_ptr<TForm1> form_;
};

}  // namespace proclens::fakes
