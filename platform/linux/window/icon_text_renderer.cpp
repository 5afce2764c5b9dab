#include "platform/linux/window/icon_text_renderer.h"

#include <gdkmm/general.h>

#include <algorithm>

#include "app/form_layout.h"

namespace proclens::gtk_front {
namespace {

// Room for the icon and a gap after it, whether or not the row has an icon,
// so that the names line up.
constexpr int kIconRoom = layout::kSmallImageSize + 4;

}  // namespace

IconTextRenderer::IconTextRenderer()
    : Glib::ObjectBase(typeid(IconTextRenderer)), Gtk::CellRendererText(), icon_(*this, "icon") {}

void IconTextRenderer::get_preferred_width_vfunc(Gtk::Widget& widget, int& minimum,
                                                 int& natural) const {
  Gtk::CellRendererText::get_preferred_width_vfunc(widget, minimum, natural);
  minimum += kIconRoom;
  natural += kIconRoom;
}

void IconTextRenderer::get_preferred_height_vfunc(Gtk::Widget& widget, int& minimum,
                                                  int& natural) const {
  Gtk::CellRendererText::get_preferred_height_vfunc(widget, minimum, natural);
  const int icon_height = layout::kSmallImageSize + 2 * property_ypad().get_value();
  minimum = std::max(minimum, icon_height);
  natural = std::max(natural, icon_height);
}

void IconTextRenderer::render_vfunc(const Cairo::RefPtr<Cairo::Context>& cr, Gtk::Widget& widget,
                                    const Gdk::Rectangle& background_area,
                                    const Gdk::Rectangle& cell_area,
                                    Gtk::CellRendererState flags) {
  const int left = cell_area.get_x() + property_xpad().get_value();
  if (const Glib::RefPtr<Gdk::Pixbuf> icon = icon_.get_value()) {
    const int top = cell_area.get_y() + (cell_area.get_height() - icon->get_height()) / 2;
    cr->save();
    Gdk::Cairo::set_source_pixbuf(cr, icon, left, top);
    cr->paint();
    cr->restore();
  }
  const Gdk::Rectangle text_area(cell_area.get_x() + kIconRoom, cell_area.get_y(),
                                 std::max(0, cell_area.get_width() - kIconRoom),
                                 cell_area.get_height());
  Gtk::CellRendererText::render_vfunc(cr, widget, background_area, text_area, flags);
}

}  // namespace proclens::gtk_front
