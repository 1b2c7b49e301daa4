// What the Options dialog does, apart from being a window: the hardware
// probe's answers, the quality lists, the recommended settings, loading the
// stored settings into the controls and turning the controls back into
// settings on OK.
#pragma once

#include <cstdint>
#include <string>

#include "config/config_reader.h"
#include "config/config_writer.h"
#include "config/settings_store.h"
#include "dialog/dialog_ports.h"

namespace vorn {

class OptionsBehaviour {
 public:
  OptionsBehaviour(SettingsStore& store, DialogControls& controls, StringTable& strings)
      : store_(store), controls_(controls), strings_(strings) {}

  enum class InitResult {
    kReady,
    kNoDirect3D,          // the lists stay empty and nothing may be saved
    kGameFileTooLarge,    // Vorn.cfg cannot be held in memory: nothing may be saved
    kGameFileLinked,      // Vorn.cfg is a link (see GameFile): never read nor saved
    kGameFileUnreadable,  // Vorn.cfg exists but cannot be read now (see GameFile)
  };

  // Probes the hardware, fills the lists and shows the stored settings (or
  // the recommended ones when there is no Vorn.cfg). Asked again after a
  // kNoDirect3D once a probe that was late has answered, it fills the dialog
  // as if the answer had come in time.
  InitResult Initialize(HardwareProbe& probe);
  bool CanSave() const { return direct3dAvailable_; }
  // How the read at start went, and what it found under Vorn.cfg.
  ReadResult GameFileRead() const { return gameFileRead_; }
  const FileFound& GameFile() const { return gameFile_; }

  void OnRecommendedClicked();
  void OnShaderVersionChanged();
  void OnOceanChanged();
  void OnTreeChanged();

  // Reads every control into the settings and writes Vorn.cfg.
  SaveResult ApplySettings(TextEncoder& encoder);

  int SupportedShaderLevel() const { return supportedShaderLevel_; }
  int VolumeCloudFlag() const { return volumeCloud_; }

 private:
  void ProbeAdapter(HardwareProbe& probe);
  void ProbeDisplayModes(HardwareProbe& probe);
  void ProbePixelShader(HardwareProbe& probe);
  void FillTextureList();
  void EmptyLists();
  void FillLists();
  void ApplyCheckBoxRules();
  void ApplyRecommendedSettings();
  void LoadSettings();
  void AppendStoredResolution();
  std::wstring StoredResolution() const;
  void AddLevels(int id, int count);
  void Select(int id, int index);
  bool IsHighEndCard() const;
  std::string VideoCardValue(TextEncoder& encoder) const;

  SettingsStore& store_;
  DialogControls& controls_;
  StringTable& strings_;

  std::wstring adapterDescription_;
  HardwareProbe* probe_ = nullptr;  // the one Initialize was given
  std::wstring firstResolution_;    // the first display mode listed
  int volumeCloud_ = 0;
  int selectedShaderVersion_ = 0;
  int supportedShaderLevel_ = 0;
  bool direct3dAvailable_ = false;
  ReadResult gameFileRead_ = ReadResult::kNotRead;
  FileFound gameFile_;
};

// "1280 x 1024 , 32bit": how resolutions are shown, and parsed back on OK.
std::wstring FormatResolution(int width, int height);

}  // namespace vorn
