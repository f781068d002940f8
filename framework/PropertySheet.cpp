// Property sheets and pages. The system's sheet is always made modeless:
// a modal sheet runs our own loop (the owner disabled, the sheet's dialog
// keys through PSM_ISDIALOGMESSAGE) until a button has ended it, which the
// sheet tells by having no current page any more, so that EndDialog and
// the result are ours and not the system's loop's.
#include "framework/PropertySheet.h"

#include "framework/Trace.h"

namespace {

// The sheet being made on this thread, for the creation callback.
thread_local CPropertySheet* t_making = nullptr;

// The sheet's own buttons, which its window procedure handles.
bool IsSheetButton(UINT id) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
    case IDHELP:
    case 0x3021:  // Apply
    case 0x3023:  // Back
    case 0x3024:  // Next
    case 0x3025:  // Finish
      return true;
    default:
      return false;
  }
}

// The style and extended style words of a dialog template of either form.
void TemplateStyles(void* dialogTemplate, DWORD** style, DWORD** exStyle) {
  auto* words = static_cast<WORD*>(dialogTemplate);
  auto* dwords = static_cast<DWORD*>(dialogTemplate);
  if (words[1] == 0xFFFF) {  // extended: version, signature, help id, ex style, style
    *exStyle = dwords + 2;
    *style = dwords + 3;
  } else {
    *style = dwords;
    *exStyle = dwords + 1;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// Pages.

CPropertyPage::CPropertyPage(UINT templateId, const char* caption)
    : CCmdDialog(templateId), m_psp(), m_caption(caption ? caption : "") {
  m_psp.dwSize = sizeof m_psp;
  m_psp.dwFlags = PSP_DEFAULT;
  m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
  m_psp.pfnDlgProc = &CPropertyPage::PageProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  if (!m_caption.IsEmpty()) {
    m_psp.dwFlags |= PSP_USETITLE;
    m_psp.pszTitle = m_caption.GetString();
  }
}

CPropertyPage::~CPropertyPage() {
  if (m_sheet) m_sheet->RemovePage(this);
}

void CPropertyPage::SetModified(bool changed) {
  const HWND sheet = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (sheet)
    ::SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

bool CPropertyPage::OnApply() {
  OnOK();
  return true;
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* page = static_cast<CPropertyPage*>(FromHandlePermanent(hwnd));
  if (!page && msg == WM_INITDIALOG) {
    // The sheet hands over its own copy of the page's description.
    const auto* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lp);
    page = psp ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
    if (page) page->Bind(hwnd);
  }
  // Pages are parts of a sheet: the tests' hook answers the sheet.
  return DialogMessage(page, hwnd, msg, wp, lp, false);
}

LRESULT CPropertyPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(lp);
    // PSN_ codes count down from PSN_FIRST.
    if (hdr && hdr->hwndFrom == ::GetParent(m_hWnd) && hdr->code <= PSN_FIRST &&
        hdr->code >= PSN_LAST)
      return OnSheetNotify(hdr);
  }
  return CCmdDialog::WindowProc(msg, wp, lp);
}

LRESULT CPropertyPage::OnSheetNotify(NMHDR* hdr) {
  // The first page is shown while the system still makes the sheet: the
  // sheet object takes its window now, so that what the page asks of it
  // (its wizard buttons) reaches the window.
  if (m_sheet && !m_sheet->m_hWnd) m_sheet->SubclassWindow(hdr->hwndFrom);
  switch (hdr->code) {
    case PSN_SETACTIVE:
      m_left = false;
      return OnSetActive() ? 0 : -1;
    case PSN_KILLACTIVE:
      m_left = OnKillActive();
      return m_left ? FALSE : TRUE;
    case PSN_APPLY: {
      if (!OnApply()) return PSNRET_INVALID_NOCHANGEPAGE;
      // lParam: OK rather than Apply.
      if (m_sheet && reinterpret_cast<PSHNOTIFY*>(hdr)->lParam) m_sheet->m_result = IDOK;
      return PSNRET_NOERROR;
    }
    case PSN_RESET:
      OnReset();
      if (m_sheet) m_sheet->m_result = IDCANCEL;
      return 0;
    case PSN_QUERYCANCEL:
      return OnQueryCancel() ? FALSE : TRUE;
    case PSN_WIZBACK:
      return OnWizardBack();
    case PSN_WIZNEXT:
      return OnWizardNext();
    case PSN_WIZFINISH:
      // Finish may come without the page being left first: its fields
      // are read back (and checked) all the same.
      if (!m_left && !OnKillActive()) return TRUE;
      if (!OnWizardFinish()) return TRUE;
      if (m_sheet) m_sheet->m_result = CPropertySheet::kFinished;
      return FALSE;
    default:
      return 0;
  }
}

// ---------------------------------------------------------------------------
// The sheet.

CPropertySheet::CPropertySheet(const char* caption, HWND parent, int startPage)
    : CCmdDialog(0, parent), m_caption(caption ? caption : ""), m_startPage(startPage) {}

CPropertySheet::~CPropertySheet() {
  // The sheet's window goes before the pages it refers to.
  if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  for (int i = 0; i < m_pages.GetSize(); ++i) GetPage(i)->m_sheet = nullptr;
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
  if (index < 0 || index >= m_pages.GetSize()) return nullptr;
  return static_cast<CPropertyPage*>(m_pages.GetAt(index));
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  for (int i = 0; i < m_pages.GetSize(); ++i)
    if (m_pages.GetAt(i) == page) return i;
  return -1;
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  LW_ASSERT(page != nullptr && page->m_sheet == nullptr);
  if (!page) return;
  page->m_sheet = this;
  page->m_psp.hInstance = GetResourceInstance();
  m_pages.Add(page);
  if (m_hWnd) {
    HPROPSHEETPAGE handle = ::CreatePropertySheetPageA(&page->m_psp);
    if (!handle || !::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle))) {
      if (handle) ::DestroyPropertySheetPage(handle);
      m_pages.RemoveAt(m_pages.GetSize() - 1);
      page->m_sheet = nullptr;
    }
  }
}

void CPropertySheet::RemovePage(int index) {
  CPropertyPage* page = GetPage(index);
  if (!page) return;
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, static_cast<WPARAM>(index), 0);
  m_pages.RemoveAt(index);
  page->m_sheet = nullptr;
  if (!m_hWnd && m_startPage >= m_pages.GetSize()) m_startPage = 0;
}

void CPropertySheet::RemovePage(CPropertyPage* page) { RemovePage(GetPageIndex(page)); }

int CPropertySheet::GetActiveIndex() const {
  if (!m_hWnd) return m_startPage;
  const HWND current =
      reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  if (!current) return -1;
  return static_cast<int>(
      ::SendMessageA(m_hWnd, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(current), 0));
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

bool CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= m_pages.GetSize()) return false;
  if (!m_hWnd) {
    m_startPage = index;
    return true;
  }
  return ::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(index), 0) != FALSE;
}

bool CPropertySheet::SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

void CPropertySheet::SetWizardButtons(DWORD flags) {
  // Sent, not posted as the system's macro does, so that the buttons are
  // right as soon as this returns.
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags));
}

void CPropertySheet::SetFinishText(const char* text) {
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_SETFINISHTEXTA, 0, reinterpret_cast<LPARAM>(text));
}

void CPropertySheet::PressButton(int button) {
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0);
}

void CPropertySheet::SetTitle(const char* text) {
  m_caption = text ? text : "";
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>(m_caption.GetString()));
}

HWND CPropertySheet::GetTabControl() const {
  return m_hWnd ? reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0)) : nullptr;
}

int CALLBACK CPropertySheet::SheetCallback(HWND, UINT msg, LPARAM lp) {
  // A child sheet's template loses its frame and caption before the
  // window is made from it; the font bits stay.
  if (msg == PSCB_PRECREATE && lp && t_making && t_making->m_child) {
    DWORD* style = nullptr;
    DWORD* exStyle = nullptr;
    TemplateStyles(reinterpret_cast<void*>(lp), &style, &exStyle);
    *style = (*style & (DS_SETFONT | DS_FIXEDSYS | DS_3DLOOK)) | WS_CHILD | DS_CONTROL |
             WS_CLIPSIBLINGS | t_making->m_childStyle;
    *exStyle = t_making->m_childExStyle;
  }
  return 0;
}

bool CPropertySheet::MakeSheet(HWND parent, bool child) {
  if (m_hWnd || m_pages.IsEmpty()) return false;
  m_child = child;
  m_result = IDCANCEL;
  m_endRequested = false;

  // The system copies the pages' descriptions; they must lie side by side.
  const int count = m_pages.GetSize();
  auto* pages = new PROPSHEETPAGEA[count];
  for (int i = 0; i < count; ++i) pages[i] = GetPage(i)->m_psp;
  PROPSHEETHEADERA header = {};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK | PSH_NOAPPLYNOW;
  if (m_wizard && !child) header.dwFlags |= PSH_WIZARD;
  header.hwndParent = parent;
  header.hInstance = GetResourceInstance();
  header.pszCaption = m_caption.GetString();
  header.nPages = static_cast<UINT>(count);
  header.nStartPage = static_cast<UINT>(m_startPage >= 0 && m_startPage < count ? m_startPage : 0);
  header.ppsp = pages;
  header.pfnCallback = &CPropertySheet::SheetCallback;

  CPropertySheet* outer = t_making;
  t_making = this;
  const HWND sheet = reinterpret_cast<HWND>(::PropertySheetA(&header));
  t_making = outer;
  delete[] pages;
  if (!sheet || sheet == reinterpret_cast<HWND>(-1) || !::IsWindow(sheet)) return false;
  // Bound already when its first page was shown.
  if (m_hWnd != sheet && !SubclassWindow(sheet)) {
    ::DestroyWindow(sheet);
    return false;
  }
  return true;
}

bool CPropertySheet::Create(HWND parent, DWORD style, DWORD exStyle) {
  m_parent = parent;
  m_childStyle = style & ~(WS_POPUP | WS_CAPTION | WS_THICKFRAME);
  m_childExStyle = exStyle;
  if (!MakeSheet(parent, true)) return false;
  // No buttons: the sheet is its tabs, with the margin they have on the
  // left and at the top on the other two sides too.
  for (int id : {IDOK, IDCANCEL, IDHELP, 0x3021}) {
    if (HWND button = ::GetDlgItem(m_hWnd, id)) {
      ::ShowWindow(button, SW_HIDE);
      ::EnableWindow(button, FALSE);
    }
  }
  if (HWND tab = GetTabControl()) {
    RECT r;
    ::GetWindowRect(tab, &r);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, r.right + r.left, r.bottom + r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

bool CPropertySheet::Ended() const {
  if (m_endRequested || !m_hWnd || !::IsWindow(m_hWnd)) return true;
  // A button that ends a modeless sheet leaves it without a current page.
  return ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) == 0;
}

INT_PTR CPropertySheet::DoModal() {
  HWND owner = m_parent ? ::GetAncestor(m_parent, GA_ROOT) : ::GetActiveWindow();
  if (!MakeSheet(owner, false)) return -1;
  const bool disableOwner = owner && ::IsWindowEnabled(owner);
  if (disableOwner) ::EnableWindow(owner, FALSE);
  if (!IsWindowVisible()) ShowWindow(SW_SHOW);
  m_running = true;
  // The thread's other windows keep the application's message filtering,
  // in this loop and in the message boxes the pages show.
  CModalMessageFilter filter;
  RunInitHook(this);

  while (!Ended()) {
    MSG msg;
    const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) break;
    if (got == 0) {
      // The application is ending: the quit goes on to the outer loop.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    // The sheet's own messages are the dialog manager's; the others get
    // the application's filtering.
    const bool own = msg.hwnd == m_hWnd || ::IsChild(m_hWnd, msg.hwnd);
    if (own ? !::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg))
            : !CModalMessageFilter::Filter(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  m_running = false;
  // The owner takes the activation back before the sheet goes.
  if (disableOwner) ::EnableWindow(owner, TRUE);
  if (m_hWnd) ::DestroyWindow(m_hWnd);
  return m_result;
}

void CPropertySheet::EndDialog(INT_PTR result) {
  if (m_running) {
    m_result = result;
    m_endRequested = true;
    // Wakes the loop when nothing else is queued.
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
  } else if (m_hWnd) {
    ::DestroyWindow(m_hWnd);
  }
}

LRESULT CPropertySheet::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  // The sheet's buttons are the system sheet's own business; OK and Cancel
  // must not reach CDialog's OnOK and OnCancel either.
  if (msg == WM_COMMAND && IsSheetButton(LOWORD(wp))) return Default();
  return CCmdDialog::WindowProc(msg, wp, lp);
}
