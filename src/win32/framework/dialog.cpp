#include "win32/framework/dialog.h"

#include "win32/framework/app.h"

namespace vorn {
namespace {

bool IsMinimizeCommand(WORD show) {
  return show == SW_MINIMIZE || show == SW_SHOWMINIMIZED || show == SW_SHOWMINNOACTIVE ||
         show == SW_FORCEMINIMIZE;
}

// Windows gives the first ShowWindow of a process the show command of the
// shortcut that started it (ShowWindow's remarks in Microsoft's docs): "Run:
// Maximized" would stretch a fixed-size dialog across the screen. A dialog
// always opens at its template's size; "Minimized" still opens it minimised,
// applied here so that it holds where the system does not apply it (Wine).
void ShowFirstTime(HWND dialog) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const bool minimized =
      (startup.dwFlags & STARTF_USESHOWWINDOW) && IsMinimizeCommand(startup.wShowWindow);
  ShowWindow(dialog, minimized ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  if (IsZoomed(dialog)) ShowWindow(dialog, SW_RESTORE);
}

}  // namespace

void DataExchange::Text(int id, std::wstring& text) const {
  const Window item{GetDlgItem(dialog, id)};
  if (save) {
    text = item.Text();
  } else {
    item.SetText(text);
  }
}

INT_PTR Dialog::DoModal() {
  App* app = App::Current();
  running_ = true;  // before creation: OnInitDialog may already end the dialog
  hwnd_ = CreateDialogParamW(app->ResourceHandle(), MAKEINTRESOURCEW(templateId_), parent_,
                             &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return -1;
  if (parent_) EnableWindow(parent_, FALSE);
  if (running_) ShowFirstTime(hwnd_);  // not when OnInitDialog ended it

  MSG msg;
  while (running_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // for the caller's loop
      break;
    }
    if (app->PreTranslateMessage(&msg) || IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  if (parent_) EnableWindow(parent_, TRUE);
  DestroyWindow(hwnd_);
  hwnd_ = nullptr;
  return result_;
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  running_ = false;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DoDataExchange(DataExchange{hwnd_, saveAndValidate});
  return true;
}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* dialog;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<Dialog*>(lParam);
    dialog->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    return dialog->OnInitDialog();
  }
  dialog = reinterpret_cast<Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!dialog) return FALSE;
  INT_PTR result = 0;
  if (dialog->OnMessage(message, wParam, lParam, result)) return result;
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) dialog->OnOK();
    if (LOWORD(wParam) == IDCANCEL) dialog->OnCancel();
    return LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL;
  }
  return FALSE;
}

}  // namespace vorn
