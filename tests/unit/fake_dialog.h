// In-memory stand-ins for the dialog's surroundings. The controls answer as
// Win32 controls do (a failed selection keeps the old one, as under Wine);
// the contract tests hold both to the same checks.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dialog/dialog_ports.h"
#include "dialog/options_behaviour.h"
#include "fake_encoder.h"
#include "resource_ids.h"

namespace vorn {

class FakeControls : public DialogControls {
 public:
  struct List {
    std::vector<std::wstring> items;
    int selection = -1;
  };

  int AddString(int id, const std::wstring& text) override {
    lists[id].items.push_back(text);
    return static_cast<int>(lists[id].items.size()) - 1;
  }
  int DeleteString(int id, int index) override {
    List& list = lists[id];
    if (index < 0 || index >= static_cast<int>(list.items.size())) return -1;
    list.items.erase(list.items.begin() + index);
    if (list.selection == index) list.selection = -1;
    if (list.selection > index) --list.selection;
    return static_cast<int>(list.items.size());
  }
  int ResetContent(int id) override {
    lists[id] = List();
    return 0;
  }
  int GetCount(int id) override { return static_cast<int>(lists[id].items.size()); }
  int GetCurSel(int id) override { return lists[id].selection; }
  int SetCurSel(int id, int index) override {
    List& list = lists[id];
    if (index == -1) list.selection = -1;
    if (index < 0 || index >= static_cast<int>(list.items.size())) return -1;
    list.selection = index;
    return index;
  }
  int GetCheck(int id) override { return checks[id]; }
  void SetCheck(int id, int state) override { checks[id] = state; }
  void Enable(int id, bool enable) override { enabled[id] = enable; }
  std::wstring GetText(int id) override {
    if (id == IDC_ADAPTER) return adapterText;
    const List& list = lists[id];
    return list.selection < 0 ? L"" : list.items[static_cast<size_t>(list.selection)];
  }
  void SetText(int id, const std::wstring& text) override {
    if (id == IDC_ADAPTER) adapterText = text;
  }

  std::map<int, List> lists;
  std::map<int, int> checks;
  std::map<int, bool> enabled;
  std::wstring adapterText;
};

// Level names read as "S103", "S104", "S105".
class FakeStrings : public StringTable {
 public:
  std::wstring Load(int id) override { return L"S" + std::to_wstring(id); }
};

// Like the real probe, it answers the adapter and shader questions only
// while the Direct3D object lives: between create and release.
class FakeProbe : public HardwareProbe {
 public:
  bool CreateDirect3D() override {
    created = available;
    released = false;
    return available;
  }
  std::wstring AdapterDescription() override {
    ExpectDirect3D("the adapter");
    return description;
  }
  uint32_t PixelShaderVersion() override {
    ExpectDirect3D("the pixel shader");
    return pixelShaderVersion;
  }
  uint64_t DedicatedVideoMemory() override {
    EXPECT_TRUE(created) << "the video memory asked before Direct3D";
    return videoMemory;
  }
  std::vector<DisplayMode> DisplayModes() override { return modes; }
  void ReleaseDirect3D() override {
    released = created;
    if (onRelease) onRelease();
  }

  std::function<void()> onRelease;

  bool available = true;
  std::wstring description = L"NVIDIA GeForce 8800 GTX";
  uint32_t pixelShaderVersion = 0xFFFF0300;
  uint64_t videoMemory = 0;
  std::vector<DisplayMode> modes = {{1024, 768, 32}, {1280, 1024, 32}};
  bool created = false;
  bool released = false;

 private:
  void ExpectDirect3D(const char* what) const {
    EXPECT_TRUE(created && !released) << what << " asked without a Direct3D object";
  }
};

// One dialog's worth of fakes; tests that open several in a row make more.
struct FakeDialog {
  void ChooseShaderVersion(int v) {
    controls.SetCurSel(IDC_SHADER_VERSION, v);
    behaviour.OnShaderVersionChanged();
  }

  SettingsStore store;
  FakeControls controls;
  FakeStrings strings;
  OptionsBehaviour behaviour{store, controls, strings};
};

}  // namespace vorn
