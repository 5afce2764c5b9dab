#pragma once
// The container side of the embedded WebBrowser control. Each COM interface
// is a small object of its own; all of them live inside one BrowserSite and
// answer QueryInterface through it. The site outlives the control (it is
// released in Close before the site goes), so the interfaces do not count
// references.

#include <exdisp.h>
#include <oleidl.h>
#include <wrl/client.h>

#include <functional>
#include <string>

#include "platform/win32/win32_api.h"

namespace proclens::win32 {

class BrowserSite;

class SiteOleClient : public IOleClientSite {
 public:
  explicit SiteOleClient(BrowserSite& site) : site_(site) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  STDMETHODIMP GetContainer(IOleContainer** container) override;
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

 private:
  BrowserSite& site_;
};

class SiteInPlace : public IOleInPlaceSite {
 public:
  explicit SiteInPlace(BrowserSite& site) : site_(site) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

 private:
  BrowserSite& site_;
};

class SiteFrame : public IOleInPlaceFrame {
 public:
  explicit SiteFrame(BrowserSite& site) : site_(site) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  BrowserSite& site_;
};

// DWebBrowserEvents2: the title change, and file downloads, which are refused.
class SiteEvents : public IDispatch {
 public:
  explicit SiteEvents(BrowserSite& site) : site_(site) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                      UINT*) override;

 private:
  BrowserSite& site_;
};

class BrowserSite {
 public:
  using TitleSink = std::function<void(const std::wstring& title)>;

  BrowserSite(HWND pane, TitleSink on_title);
  ~BrowserSite();
  BrowserSite(const BrowserSite&) = delete;
  BrowserSite& operator=(const BrowserSite&) = delete;

  // Creates, embeds and shows the control; false leaves no control behind.
  bool Embed();
  void Close();
  void Place(const RECT& rect);
  IWebBrowser2* browser() const { return browser_.Get(); }
  // Offers a key to the control first (IOleInPlaceActiveObject::
  // TranslateAccelerator); true when its page used the key.
  bool TranslateKey(MSG& message);
  // Gives the control the keyboard focus, as a click in it would.
  void TakeFocus();

  HRESULT QueryInterface(REFIID riid, void** object);
  HWND pane() const { return pane_; }
  void OnTitleChange(const std::wstring& title) { if (on_title_) on_title_(title); }

 private:
  HWND pane_;
  TitleSink on_title_;
  SiteOleClient client_{*this};
  SiteInPlace in_place_{*this};
  SiteFrame frame_{*this};
  SiteEvents events_{*this};
  Microsoft::WRL::ComPtr<IOleObject> object_;
  Microsoft::WRL::ComPtr<IWebBrowser2> browser_;
  Microsoft::WRL::ComPtr<IConnectionPoint> events_point_;
  DWORD events_cookie_ = 0;
};

}  // namespace proclens::win32
