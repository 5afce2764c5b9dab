#include "platform/win32/win32_image_list.h"

#include "platform/win32/win32_file_ops.h"

namespace proclens::win32 {

Win32ImageList::Win32ImageList(int size)
    : list_(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 2, 4)) {
  if (list_) ImageList_SetBkColor(list_, CLR_NONE);
}

Win32ImageList::~Win32ImageList() {
  if (list_) ImageList_Destroy(list_);
}

int Win32ImageList::AddIcon(const Icon& icon) {
  // Only icons this build extracted carry a handle the list can copy.
  const auto* win32_icon = dynamic_cast<const Win32Icon*>(&icon);
  return win32_icon ? AddIconHandle(win32_icon->handle()) : -1;
}

int Win32ImageList::AddIconHandle(HICON icon) {
  if (!list_ || !icon) return -1;
  return ImageList_ReplaceIcon(list_, -1, icon);
}

void Win32ImageList::RemoveLastImage() {
  const int count = Count();
  if (count > 0) ImageList_Remove(list_, count - 1);
}

void Win32ImageList::KeepFixedImagesOnly() {
  if (list_ && Count() > kFixedImageCount) ImageList_SetImageCount(list_, kFixedImageCount);
}

int Win32ImageList::Count() const { return list_ ? ImageList_GetImageCount(list_) : 0; }

}  // namespace proclens::win32
