#pragma once
// A row's description (why its process runs) as a sighted user and a screen
// reader meet it: the list view's info tip, and the accessible description
// of the row's element. The screen reader's answer is looked up when it asks,
// so it names the process in that row now, whatever sort or refill came before.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/win32/win32_api.h"

#include <oleacc.h>
#include <wrl/client.h>

namespace proclens::win32 {

// How many of the first units of text fit in room units without cutting a
// character in two: a UTF-16 surrogate pair, a double-byte character of the
// code page, a UTF-8 sequence.
std::size_t Utf16Fit(std::wstring_view text, std::size_t room);
std::size_t CodePageFit(std::string_view text, std::size_t room, UINT code_page);

// Answers LVN_GETINFOTIPA or LVN_GETINFOTIPW (false for any other
// notification) with description, in the ANSI code page. It follows what the
// buffer holds already (the item's own text where the control shows it cut)
// on a line of its own, as much as fits; an empty one leaves the buffer alone.
bool AppendInfoTip(NMHDR& notification, const std::string& description);

// The description of a row of the list's current order, "" for none.
using RowDescriptionLookup = std::function<std::string(std::size_t row)>;

class RowDescriptionServer;

// While it is attached, screen readers that ask a row of the list for its
// description get lookup's answer for that row; rows without one keep what
// the system gives them. Where oleacc cannot take the annotation, nothing changes.
class RowDescriptionAnnotation {
 public:
  RowDescriptionAnnotation();
  ~RowDescriptionAnnotation();
  RowDescriptionAnnotation(const RowDescriptionAnnotation&) = delete;
  RowDescriptionAnnotation& operator=(const RowDescriptionAnnotation&) = delete;

  // S_OK once oleacc took the annotation, else what it or COM answered.
  HRESULT Attach(HWND list, RowDescriptionLookup lookup);
  void Detach();

 private:
  HWND list_ = nullptr;
  Microsoft::WRL::ComPtr<IAccPropServices> services_;
  Microsoft::WRL::ComPtr<RowDescriptionServer> server_;
};

}  // namespace proclens::win32
