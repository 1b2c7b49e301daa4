// The application object: one per process, doing its work in InitInstance.
#pragma once

#include <windows.h>

#include <string>

namespace vorn {

class App {
 public:
  App();
  virtual ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  static App* Current() { return current_; }

  // InitInstance, then ExitInstance, whose answer is the exit status.
  int Run(HINSTANCE instance);

  virtual bool InitInstance() { return true; }
  virtual int ExitInstance() { return 0; }
  // Sees every message of the modal loop before the dialog does; true eats it.
  virtual bool PreTranslateMessage(MSG*) { return false; }

  HINSTANCE Instance() const { return instance_; }
  // Where dialog templates, strings and icons are looked up.
  HINSTANCE ResourceHandle() const { return resourceHandle_; }
  void SetResourceHandle(HINSTANCE handle) { resourceHandle_ = handle; }

  // The tool keeps nothing in the registry; the name is only remembered.
  void SetRegistryKey(const wchar_t* name) { registryKey_ = name; }
  const std::wstring& RegistryKey() const { return registryKey_; }

 private:
  static App* current_;
  HINSTANCE instance_ = nullptr;
  HINSTANCE resourceHandle_ = nullptr;
  std::wstring registryKey_;
};

}  // namespace vorn
