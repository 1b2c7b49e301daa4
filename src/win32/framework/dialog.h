// A modal dialog made from a template of the current resource module, run by
// its own message loop so that the application's PreTranslateMessage sees
// every message before IsDialogMessageW.
#pragma once

#include <windows.h>

#include <string>

#include "win32/framework/controls.h"

namespace vorn {

// Binds dialog items to members; `save` copies controls into members.
struct DataExchange {
  HWND dialog;
  bool save;

  void Text(int id, std::wstring& text) const;
  void Control(int id, Window& control) const { control.hwnd = GetDlgItem(dialog, id); }
};

class Dialog {
 public:
  Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // IDOK, IDCANCEL, or -1 when the template cannot be made into a window.
  INT_PTR DoModal();
  void EndDialog(INT_PTR result);

  HWND hwnd() const { return hwnd_; }
  bool UpdateData(bool saveAndValidate);

 protected:
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange(const DataExchange&) {}
  virtual void OnOK();
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // A dialog's own messages; answer true when handled, with `result` for the
  // few messages whose answer is the dialog procedure's return value.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  UINT templateId_;
  HWND parent_;
  HWND hwnd_ = nullptr;
  bool running_ = false;
  INT_PTR result_ = IDCANCEL;
};

}  // namespace vorn
