#include "platform/linux/window/gtk_image_list.h"

#include <giomm/icon.h>
#include <gtkmm/icontheme.h>

#include "platform/linux/desktop/desktop_icon.h"

namespace proclens::gtk_front {

Glib::RefPtr<Gdk::Pixbuf> ArtworkPixbuf(const std::string& file_name) {
  try {
    return Gdk::Pixbuf::create_from_resource("/proclens/art/" + file_name);
  } catch (const Glib::Error&) {
    return {};
  }
}

GtkImageList::GtkImageList(int pixel_size) : pixel_size_(pixel_size) {
  const std::string size = std::to_string(pixel_size);
  images_.push_back(ArtworkPixbuf("system-process-" + size + ".png"));
  images_.push_back(ArtworkPixbuf("missing-file-" + size + ".png"));
}

int GtkImageList::AddIcon(const Icon& icon) {
  const auto* desktop_icon = dynamic_cast<const linux_port::DesktopIcon*>(&icon);
  if (desktop_icon == nullptr) return -1;
  Glib::RefPtr<Gdk::Pixbuf> picture = LoadThemeIcon(desktop_icon->serialized());
  if (!picture) return -1;
  images_.push_back(picture);
  return Count() - 1;
}

void GtkImageList::RemoveLastImage() {
  if (!images_.empty()) images_.pop_back();
}

// The theme's pictures stay cached: a refresh mostly brings the same programs back.
void GtkImageList::KeepFixedImagesOnly() {
  if (images_.size() > kFixedImageCount) images_.resize(kFixedImageCount);
}

Glib::RefPtr<Gdk::Pixbuf> GtkImageList::Image(int index) const {
  if (index < 0 || index >= Count()) return {};
  return images_[static_cast<std::size_t>(index)];
}

Glib::RefPtr<Gdk::Pixbuf> GtkImageList::LoadThemeIcon(const std::string& serialized) {
  auto cached = loaded_.find(serialized);
  if (cached != loaded_.end()) return cached->second;

  Glib::RefPtr<Gdk::Pixbuf> picture;
  try {
    Glib::RefPtr<Gio::Icon> gicon = Gio::Icon::create(serialized);
    Gtk::IconInfo info = Gtk::IconTheme::get_default()->lookup_icon(
        gicon, pixel_size_, Gtk::ICON_LOOKUP_FORCE_SIZE);
    if (info) picture = info.load_icon();
    if (picture && (picture->get_width() != pixel_size_ || picture->get_height() != pixel_size_)) {
      picture = picture->scale_simple(pixel_size_, pixel_size_, Gdk::INTERP_BILINEAR);
    }
  } catch (const Glib::Error&) {
    picture.reset();  // an icon that cannot be loaded is no icon
  }
  loaded_.emplace(serialized, picture);
  return picture;
}

}  // namespace proclens::gtk_front
