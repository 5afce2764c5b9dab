#pragma once
// One of the list view's two image lists, over a common-controls image list
// that this object owns (the list view shares it and never destroys it).

#include "catalogue/process_item.h"
#include "platform/win32/win32_api.h"

namespace proclens::win32 {

class Win32ImageList : public ImageList {
 public:
  // A masked 32-bit list of square pictures of the given size, growing by 4.
  explicit Win32ImageList(int size);
  ~Win32ImageList() override;
  Win32ImageList(const Win32ImageList&) = delete;
  Win32ImageList& operator=(const Win32ImageList&) = delete;

  int AddIcon(const Icon& icon) override;
  void RemoveLastImage() override;
  void KeepFixedImagesOnly() override;

  // Appends an icon handle the caller keeps; its index, or -1.
  int AddIconHandle(HICON icon);
  int Count() const;
  HIMAGELIST handle() const { return list_; }

 private:
  HIMAGELIST list_;
};

}  // namespace proclens::win32
