// Control wrappers: an HWND and one message per method, answers as the
// control gives them (CB_ERR stays CB_ERR).
#pragma once

#include <windows.h>
#include <windowsx.h>

#include <string>

namespace vorn {

class Window {
 public:
  HWND hwnd = nullptr;

  void Enable(bool enable) const { EnableWindow(hwnd, enable ? TRUE : FALSE); }
  std::wstring Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()))));
    return text;
  }
  void SetText(const std::wstring& text) const { SetWindowTextW(hwnd, text.c_str()); }
};

class ComboBox : public Window {
 public:
  int AddString(const wchar_t* text) const { return ComboBox_AddString(hwnd, text); }
  int DeleteString(int index) const { return ComboBox_DeleteString(hwnd, index); }
  int ResetContent() const { return ComboBox_ResetContent(hwnd); }
  int GetCount() const { return ComboBox_GetCount(hwnd); }
  int GetCurSel() const { return ComboBox_GetCurSel(hwnd); }
  int SetCurSel(int index) const { return ComboBox_SetCurSel(hwnd, index); }
};

class Button : public Window {
 public:
  int GetCheck() const { return Button_GetCheck(hwnd); }
  void SetCheck(int state) const { Button_SetCheck(hwnd, state); }
};

}  // namespace vorn
