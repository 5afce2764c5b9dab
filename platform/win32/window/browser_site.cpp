#include "platform/win32/window/browser_site.h"

#include <exdispid.h>
#include <ocidl.h>

namespace proclens::win32 {

HRESULT SiteOleClient::QueryInterface(REFIID riid, void** object) {
  return site_.QueryInterface(riid, object);
}

HRESULT SiteOleClient::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT SiteOleClient::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT SiteInPlace::QueryInterface(REFIID riid, void** object) {
  return site_.QueryInterface(riid, object);
}

HRESULT SiteInPlace::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = site_.pane();
  return S_OK;
}

HRESULT SiteInPlace::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                      LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  site_.QueryInterface(IID_IOleInPlaceFrame, reinterpret_cast<void**>(frame));
  *document = nullptr;
  GetClientRect(site_.pane(), position);
  *clip = *position;
  info->fMDIApp = FALSE;
  info->hwndFrame = GetAncestor(site_.pane(), GA_ROOT);
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

HRESULT SiteFrame::QueryInterface(REFIID riid, void** object) {
  return site_.QueryInterface(riid, object);
}

HRESULT SiteFrame::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = GetAncestor(site_.pane(), GA_ROOT);
  return S_OK;
}

HRESULT SiteEvents::QueryInterface(REFIID riid, void** object) {
  return site_.QueryInterface(riid, object);
}

HRESULT SiteEvents::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return S_OK;
}

namespace {

// FileDownload(ActiveDocument, Cancel), its arguments last first. The control
// asks before it offers to save a reply; the pane is a viewer and saves
// nothing. An active document is shown in the pane itself (newer controls ask
// about the pages they show that way too), so only that is let through.
void RefuseDownload(const DISPPARAMS& parameters) {
  const VARIANT& cancel = parameters.rgvarg[0];
  if (cancel.vt != (VT_BYREF | VT_BOOL) || cancel.pboolVal == nullptr) return;
  if (parameters.cArgs >= 2) {
    const VARIANT& active_document = parameters.rgvarg[1];
    if (active_document.vt == VT_BOOL && active_document.boolVal != VARIANT_FALSE) return;
  }
  *cancel.pboolVal = VARIANT_TRUE;
}

}  // namespace

HRESULT SiteEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                           EXCEPINFO*, UINT*) {
  if (!parameters || parameters->cArgs < 1 || !parameters->rgvarg) return S_OK;
  if (id == DISPID_FILEDOWNLOAD) {
    RefuseDownload(*parameters);
    return S_OK;
  }
  if (id != DISPID_TITLECHANGE) return S_OK;
  const VARIANT& text = parameters->rgvarg[0];
  if (text.vt == VT_BSTR) {
    const BSTR title = text.bstrVal;
    site_.OnTitleChange(title ? std::wstring(title, SysStringLen(title)) : std::wstring());
  }
  return S_OK;
}

BrowserSite::BrowserSite(HWND pane, TitleSink on_title) : pane_(pane), on_title_(std::move(on_title)) {}

BrowserSite::~BrowserSite() { Close(); }

HRESULT BrowserSite::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
    *object = static_cast<IOleClientSite*>(&client_);
  } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite)) {
    *object = static_cast<IOleInPlaceSite*>(&in_place_);
  } else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame)) {
    *object = static_cast<IOleInPlaceFrame*>(&frame_);
  } else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
    *object = static_cast<IDispatch*>(&events_);
  } else {
    return E_NOINTERFACE;
  }
  return S_OK;
}

bool BrowserSite::Embed() {
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(object_.GetAddressOf())))) {
    return false;
  }
  RECT rect = {};
  GetClientRect(pane_, &rect);
  if (FAILED(object_->SetClientSite(&client_)) ||
      FAILED(object_.As(&browser_))) {
    Close();
    return false;
  }
  OleSetContainedObject(object_.Get(), TRUE);
  if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &client_, 0, pane_, &rect))) {
    Close();
    return false;
  }
  Place(rect);

  // Title changes come through the control's DWebBrowserEvents2 connection point.
  Microsoft::WRL::ComPtr<IConnectionPointContainer> points;
  if (SUCCEEDED(object_.As(&points)) &&
      SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_point_))) {
    if (FAILED(events_point_->Advise(&events_, &events_cookie_))) events_point_.Reset();
  }
  return true;
}

void BrowserSite::Place(const RECT& rect) {
  Microsoft::WRL::ComPtr<IOleInPlaceObject> in_place;
  if (object_ && SUCCEEDED(object_.As(&in_place))) in_place->SetObjectRects(&rect, &rect);
}

bool BrowserSite::TranslateKey(MSG& message) {
  Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> active;
  return object_ && SUCCEEDED(object_.As(&active)) && active->TranslateAccelerator(&message) == S_OK;
}

void BrowserSite::TakeFocus() {
  if (!object_) return;
  RECT rect = {};
  GetClientRect(pane_, &rect);
  object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &client_, 0, pane_, &rect);
}

void BrowserSite::Close() {
  if (events_point_) {
    events_point_->Unadvise(events_cookie_);
    events_point_.Reset();
  }
  browser_.Reset();
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    object_.Reset();
  }
}

}  // namespace proclens::win32
