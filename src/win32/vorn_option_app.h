// The tool's application object: loads the configuration and the resource
// library, refuses to run beside the game client, shows the Options dialog.
#pragma once

#include <windows.h>

#include "win32/framework/app.h"
#include "win32/tooltip.h"

namespace vorn {

class VornOptionApp : public App {
 public:
  bool InitInstance() override;
  int ExitInstance() override;
  bool PreTranslateMessage(MSG* msg) override;

 private:
  HINSTANCE savedResourceHandle_ = nullptr;
  HMODULE resourceLibrary_ = nullptr;
  Tooltip tooltip_;
};

}  // namespace vorn
