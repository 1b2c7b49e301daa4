// The application's one tooltip window: controls are registered with a text
// from the resource library, and every message is relayed to it so that it
// can follow the mouse.
#pragma once

#include <windows.h>

namespace vorn {

class Tooltip {
 public:
  Tooltip() = default;
  ~Tooltip();
  Tooltip(const Tooltip&) = delete;
  Tooltip& operator=(const Tooltip&) = delete;

  void Create(HWND owner);
  void AddTool(HWND owner, HWND control, UINT stringId);
  // Long tips wrap at a width that keeps their shape at every scaling.
  void ScaleToDpi(UINT dpi);
  void Relay(MSG* msg) const;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace vorn
