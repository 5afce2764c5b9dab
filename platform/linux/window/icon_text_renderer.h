#pragma once
// The process name cell: the small icon drawn before the name, in one cell
// renderer. Two renderers in one column would make the accessibility layer
// show the row's first cell as an unnamed group of two; this one cell is read
// as its text.

#include <gdkmm/pixbuf.h>
#include <glibmm/property.h>
#include <gtkmm/cellrenderertext.h>

namespace proclens::gtk_front {

class IconTextRenderer : public Gtk::CellRendererText {
 public:
  IconTextRenderer();

  Glib::PropertyProxy<Glib::RefPtr<Gdk::Pixbuf>> property_icon() { return icon_.get_proxy(); }

 protected:
  void get_preferred_width_vfunc(Gtk::Widget& widget, int& minimum, int& natural) const override;
  void get_preferred_height_vfunc(Gtk::Widget& widget, int& minimum, int& natural) const override;
  void render_vfunc(const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Widget& widget,
                    const Gdk::Rectangle& background_area, const Gdk::Rectangle& cell_area,
                    Gtk::CellRendererState flags) override;

 private:
  Glib::Property<Glib::RefPtr<Gdk::Pixbuf>> icon_;
};

}  // namespace proclens::gtk_front
