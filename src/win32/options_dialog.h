// The Options dialog window: template 101 of the resource library, its
// controls bound by data exchange, and its message map. What it does lives in
// OptionsBehaviour; this class connects it to the real controls.
#pragma once

#include <windows.h>

#include <string>

#include "config/settings_store.h"
#include "dialog/dialog_ports.h"
#include "dialog/options_behaviour.h"
#include "win32/background_probe.h"
#include "win32/framework/dialog.h"
#include "win32/tooltip.h"

namespace vorn {

class OptionsDialog : public Dialog, private DialogControls, private StringTable {
 public:
  // Registers its tips with the application's tooltip window.
  OptionsDialog(SettingsStore& store, Tooltip& tooltip, BackgroundProbe& probe,
                HWND parent = nullptr);
  ~OptionsDialog() override;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(const DataExchange& dx) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

 private:
  void SetIcons();
  void ShowInitialized(OptionsBehaviour::InitResult result);
  void OnProbeDone(bool givingUp);
  std::wstring NoCardMessage() const;
  void OnPaint();
  void OnRecommendedClicked() { behaviour_.OnRecommendedClicked(); }
  void OnShaderVersionChanged() { behaviour_.OnShaderVersionChanged(); }
  void OnOceanChanged() { behaviour_.OnOceanChanged(); }
  void OnTreeChanged() { behaviour_.OnTreeChanged(); }
  void OnBnClickedOk();

  // DialogControls, over the members bound by data exchange.
  ComboBox& List(int id);
  Button& Check(int id);
  int AddString(int id, const std::wstring& text) override;
  int DeleteString(int id, int index) override { return List(id).DeleteString(index); }
  int ResetContent(int id) override { return List(id).ResetContent(); }
  int GetCount(int id) override { return List(id).GetCount(); }
  int GetCurSel(int id) override { return List(id).GetCurSel(); }
  int SetCurSel(int id, int index) override { return List(id).SetCurSel(index); }
  int GetCheck(int id) override { return Check(id).GetCheck(); }
  void SetCheck(int id, int state) override { Check(id).SetCheck(state); }
  void Enable(int id, bool enable) override { Check(id).Enable(enable); }
  std::wstring GetText(int id) override;
  void SetText(int id, const std::wstring& text) override;

  // StringTable, from the resource library.
  std::wstring Load(int id) override;

  struct CommandEntry;
  static const CommandEntry kCommands[];

  std::wstring adapterDescription_;
  ComboBox shaderVersion_, resolution_, texture_, heightField_, object_, ocean_, sky_, character_,
      tree_, audio_;
  Button shadowmap_, waterReflection_, glareRender_, treeNormalMap_, windowMode_, vsync_;
  HICON icon_ = nullptr;
  HICON smallIcon_ = nullptr;

  SettingsStore& store_;
  Tooltip& tooltip_;
  BackgroundProbe& probe_;
  bool waitingForProbe_ = false;
  OptionsBehaviour behaviour_;
};

}  // namespace vorn
