#pragma once
// LargeImageList and SmallImageList: pixbufs of one size. Both start with the
// system-process emblem and the missing-file picture; file icons come from the
// desktop entries as serialized GIcon text, loaded from the icon theme.

#include <gdkmm/pixbuf.h>

#include <map>
#include <string>
#include <vector>

#include "catalogue/process_item.h"

namespace proclens::gtk_front {

class GtkImageList : public ImageList {
 public:
  explicit GtkImageList(int pixel_size);

  int AddIcon(const Icon& icon) override;
  void RemoveLastImage() override;
  void KeepFixedImagesOnly() override;

  // The picture at an index; null for -1 or any index out of range.
  Glib::RefPtr<Gdk::Pixbuf> Image(int index) const;
  int Count() const { return static_cast<int>(images_.size()); }
  int PixelSize() const { return pixel_size_; }

 private:
  Glib::RefPtr<Gdk::Pixbuf> LoadThemeIcon(const std::string& serialized);

  int pixel_size_;
  std::vector<Glib::RefPtr<Gdk::Pixbuf>> images_;
  // Many processes share one program's icon; the theme is asked once per icon.
  std::map<std::string, Glib::RefPtr<Gdk::Pixbuf>> loaded_;
};

// One of our own pictures from the GResource bundle, e.g. "proclens-32.png".
Glib::RefPtr<Gdk::Pixbuf> ArtworkPixbuf(const std::string& file_name);

}  // namespace proclens::gtk_front
