#include "win32/framework/app.h"

namespace vorn {

App* App::current_ = nullptr;

App::App() { current_ = this; }

App::~App() { current_ = nullptr; }

int App::Run(HINSTANCE instance) {
  instance_ = instance;
  resourceHandle_ = instance;
  // A FALSE from InitInstance means "no message pump": the run ends here.
  InitInstance();
  return ExitInstance();
}

}  // namespace vorn
