#pragma once
// The icon of a desktop entry, kept as the serialized GIcon text so that a
// window can load it later at the size it needs (16 and 32 pixels).

#include <string>
#include <utility>

#include "platform/file_ops.h"

namespace proclens::linux_port {

class DesktopIcon : public Icon {
 public:
  explicit DesktopIcon(std::string serialized) : serialized_(std::move(serialized)) {}
  // g_icon_to_string's text; g_icon_new_for_string turns it back into an icon.
  const std::string& serialized() const { return serialized_; }

 private:
  std::string serialized_;
};

}  // namespace proclens::linux_port
