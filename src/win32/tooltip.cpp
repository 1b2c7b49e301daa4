#include "win32/tooltip.h"

#include <commctrl.h>

#include "win32/framework/app.h"

namespace vorn {
namespace {

constexpr int kMaxTipWidth = 300;           // pixels at 96 DPI: long tips wrap into lines
constexpr int kTipVisibleMs = 30000;        // time to read a long tip
constexpr int kResourceStringLength = 260;  // every resource string buffer

// The size the 32-bit program hands the tooltip control.
static_assert(sizeof(void*) != 4 || sizeof(TOOLINFOW) == 48, "TOOLINFOW");

}  // namespace

Tooltip::~Tooltip() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Tooltip::Create(HWND owner) {
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, App::Current()->Instance(),
                          nullptr);
}

void Tooltip::AddTool(HWND owner, HWND control, UINT stringId) {
  wchar_t text[kResourceStringLength] = {};
  LoadStringW(App::Current()->ResourceHandle(), stringId, text, kResourceStringLength);
  TOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = text;
  SendMessageW(hwnd_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(hwnd_, TTM_SETDELAYTIME, TTDT_AUTOPOP, kTipVisibleMs);
}

void Tooltip::ScaleToDpi(UINT dpi) {
  SendMessageW(hwnd_, TTM_SETMAXTIPWIDTH, 0, MulDiv(kMaxTipWidth, static_cast<int>(dpi), 96));
}

void Tooltip::Relay(MSG* msg) const {
  if (hwnd_) SendMessageW(hwnd_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

}  // namespace vorn
