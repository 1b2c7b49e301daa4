// The tool's application object: loads the configuration and the resource
// library, refuses to run beside the game client, shows the Options dialog.
#pragma once

#include <windows.h>

#include "win32/background_probe.h"
#include "win32/framework/app.h"
#include "win32/tooltip.h"

namespace vorn {

class VornOptionApp : public App {
 public:
  // `probe` is the one the dialog asks; it may be running already.
  explicit VornOptionApp(BackgroundProbe& probe) : probe_(probe) {}

  bool InitInstance() override;
  int ExitInstance() override;
  bool PreTranslateMessage(MSG* msg) override;

 private:
  BackgroundProbe& probe_;
  HINSTANCE savedResourceHandle_ = nullptr;
  HMODULE resourceLibrary_ = nullptr;
  Tooltip tooltip_;
};

}  // namespace vorn
