#include "platform/win32/window/win32_row_descriptions.h"

#include <algorithm>
#include <utility>

#include "platform/win32/win32_text.h"

namespace proclens::win32 {
namespace {

// Written out here: MinGW's import libraries do not all hold these.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr IID kAccPropServerInterface = {
    0x76c0dbbb, 0x15e0, 0x4e7b, {0xb6, 0x1b, 0x20, 0xee, 0xea, 0x20, 0x01, 0xe0}};
constexpr MSAAPROPID kDescriptionProperty = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

constexpr DWORD kClientObject = static_cast<DWORD>(OBJID_CLIENT);

// Appends line after a non-empty buffer's text on a line of its own, as far
// as fit lets it without overrunning capacity (which counts the final zero).
template <typename Char, typename Fit>
void AppendLine(Char* buffer, int capacity, std::basic_string_view<Char> line, Fit fit) {
  if (!buffer || capacity <= 0 || line.empty()) return;
  const std::size_t size = static_cast<std::size_t>(capacity);
  const std::size_t used = std::find(buffer, buffer + size, Char(0)) - buffer;
  if (used == size) return;  // not a text the control gave: leave it as it is
  const bool separated = used > 0;
  std::size_t room = size - 1 - used;
  if (separated && room-- == 0) return;
  const std::size_t fits = fit(line, room);
  if (fits == 0) return;
  Char* at = buffer + used;
  if (separated) *at++ = Char('\n');
  std::copy_n(line.data(), fits, at);
  at[fits] = Char(0);
}

}  // namespace

std::size_t Utf16Fit(std::wstring_view text, std::size_t room) {
  if (room >= text.size()) return text.size();
  if (room > 0 && IS_HIGH_SURROGATE(text[room - 1]) && IS_LOW_SURROGATE(text[room])) return room - 1;
  return room;
}

std::size_t CodePageFit(std::string_view text, std::size_t room, UINT code_page) {
  if (room >= text.size()) return text.size();
  if (code_page == CP_UTF8) {
    while (room > 0 && (static_cast<unsigned char>(text[room]) & 0xC0) == 0x80) --room;
    return room;
  }
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = IsDBCSLeadByteEx(code_page, static_cast<BYTE>(text[end])) ? end + 2 : end + 1;
    if (next > room) break;
    end = next;
  }
  return end;
}

bool AppendInfoTip(NMHDR& notification, const std::string& description) {
  if (notification.code == LVN_GETINFOTIPA) {
    auto& tip = reinterpret_cast<NMLVGETINFOTIPA&>(notification);
    const UINT code_page = GetACP();
    AppendLine(tip.pszText, tip.cchTextMax, std::string_view(description),
               [code_page](std::string_view text, std::size_t room) {
                 return CodePageFit(text, room, code_page);
               });
    return true;
  }
  if (notification.code == LVN_GETINFOTIPW) {
    auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(notification);
    const std::wstring wide = description.empty() ? std::wstring() : WideFromNarrow(description);
    AppendLine(tip.pszText, tip.cchTextMax, std::wstring_view(wide), Utf16Fit);
    return true;
  }
  return false;
}

// oleacc's dynamic annotation: asked for a row's description, it answers
// with the lookup's text for that row, if any.
class RowDescriptionServer final : public IAccPropServer {
 public:
  RowDescriptionServer(IAccPropServices* services, HWND list, RowDescriptionLookup lookup)
      : services_(services), list_(list), lookup_(std::move(lookup)) {}

  // What oleacc still holds after the list is gone answers nothing.
  void Detach() { lookup_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != __uuidof(IUnknown) && iid != kAccPropServerInterface) return E_NOINTERFACE;
    *out = static_cast<IAccPropServer*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD length, MSAAPROPID,
                                         VARIANT* value, BOOL* has_value) override {
    if (!value || !has_value) return E_POINTER;
    VariantInit(value);
    *has_value = FALSE;
    HWND window = nullptr;
    DWORD object = 0;
    DWORD child = CHILDID_SELF;
    if (!lookup_ || FAILED(services_->DecomposeHwndIdentityString(identity, length, &window,
                                                                  &object, &child)) ||
        window != list_ || object != kClientObject || child == CHILDID_SELF) {
      return S_OK;
    }
    const std::wstring text = WideFromNarrow(lookup_(child - 1));  // children count from 1
    if (text.empty()) return S_OK;
    value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!value->bstrVal) return E_OUTOFMEMORY;
    value->vt = VT_BSTR;
    *has_value = TRUE;
    return S_OK;
  }

 private:
  ~RowDescriptionServer() = default;

  Microsoft::WRL::ComPtr<IAccPropServices> services_;
  HWND list_;
  RowDescriptionLookup lookup_;
  LONG references_ = 1;
};

RowDescriptionAnnotation::RowDescriptionAnnotation() = default;
RowDescriptionAnnotation::~RowDescriptionAnnotation() { Detach(); }

HRESULT RowDescriptionAnnotation::Attach(HWND list, RowDescriptionLookup lookup) {
  Detach();
  Microsoft::WRL::ComPtr<IAccPropServices> services;
  HRESULT result = CoCreateInstance(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                                    kAccPropServicesInterface, &services);
  if (FAILED(result)) return result;
  Microsoft::WRL::ComPtr<RowDescriptionServer> server;
  server.Attach(new RowDescriptionServer(services.Get(), list, std::move(lookup)));
  result = services->SetHwndPropServer(list, kClientObject, CHILDID_SELF, &kDescriptionProperty, 1,
                                       server.Get(), ANNO_CONTAINER);
  if (FAILED(result)) {
    server->Detach();
    return result;
  }
  list_ = list;
  services_ = std::move(services);
  server_ = std::move(server);
  return S_OK;
}

void RowDescriptionAnnotation::Detach() {
  if (!server_) return;
  server_->Detach();
  services_->ClearHwndProps(list_, kClientObject, CHILDID_SELF, &kDescriptionProperty, 1);
  server_.Reset();
  services_.Reset();
  list_ = nullptr;
}

}  // namespace proclens::win32
