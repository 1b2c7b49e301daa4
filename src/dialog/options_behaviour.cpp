#include "dialog/options_behaviour.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <utility>
#include <vector>

#include "config/config_reader.h"
#include "dialog/video_memory.h"
#include "resource_ids.h"

namespace vorn {
namespace {

constexpr int kUnchecked = 0;
constexpr int kChecked = 1;

// D3DPS_VERSION(1, 1), (2, 0) and (3, 0).
constexpr uint32_t kPixelShader11 = 0xFFFF0101;
constexpr uint32_t kPixelShader20 = 0xFFFF0200;
constexpr uint32_t kPixelShader30 = 0xFFFF0300;

// Level names by entry index, lowest first.
constexpr int kLevelNames[] = {IDS_LEVEL_LOW, IDS_LEVEL_MEDIUM, IDS_LEVEL_HIGH};

// The lists whose entries follow the shader version, in the order they are
// emptied.
constexpr int kShaderDependentLists[] = {IDC_CHARACTER, IDC_HEIGHTFIELD, IDC_OCEAN,
                                         IDC_SKY,       IDC_OBJECT,      IDC_TREE};

// The smallest display mode the game offers.
constexpr uint32_t kMinWidth = 1024;
constexpr uint32_t kMinHeight = 768;

// The game keeps the adapter name in a 128-byte buffer.
constexpr std::size_t kVideoCardBytes = 127;

bool Contains(const std::wstring& text, const wchar_t* part) {
  return text.find(part) != std::wstring::npos;
}

int Checked(int32_t setting) { return setting != 0 ? kChecked : kUnchecked; }

// Recommended values, by column: high-end card, V = 2, V = 1, any other V.
struct RecommendedRow {
  int id;
  bool isCheckBox;
  int values[4];
};

constexpr RecommendedRow kRecommended[] = {
    {IDC_CHARACTER, false, {2, 1, 0, 0}},
    {IDC_OBJECT, false, {2, 1, 1, 1}},
    {IDC_SKY, false, {2, 1, 1, 0}},
    {IDC_OCEAN, false, {2, 1, 1, 0}},
    {IDC_SHADER_VERSION, false, {2, 2, 1, 0}},
    {IDC_TREE, false, {2, 2, 0, 0}},
    {IDC_SHADOWMAP, true, {1, 1, 1, 1}},
    {IDC_WATER_REFLECTION, true, {1, 0, 0, 0}},
    {IDC_GLARE_RENDER, true, {1, 1, 0, 0}},
    {IDC_TREE_NORMAL_MAP, true, {1, 1, 0, 0}},
    {IDC_HEIGHTFIELD, false, {2, 1, 0, 0}},
    {IDC_VSYNC, true, {0, 1, 0, 0}},
};
constexpr int kRecommendedVolumeCloud[] = {1, 1, 1, 0};

}  // namespace

std::wstring FormatResolution(int width, int height) {
  return std::to_wstring(width) + L" x " + std::to_wstring(height) + L" , 32bit";
}

OptionsBehaviour::InitResult OptionsBehaviour::Initialize(HardwareProbe& probe) {
  probe_ = &probe;
  direct3dAvailable_ = probe.CreateDirect3D();
  if (!direct3dAvailable_) return InitResult::kNoDirect3D;
  controls_.AddString(IDC_AUDIO, L"OFF");
  controls_.AddString(IDC_AUDIO, L"ON");
  ProbeAdapter(probe);
  ProbeDisplayModes(probe);
  ProbePixelShader(probe);
  FillTextureList();
  probe.ReleaseDirect3D();
  gameFileRead_ = ReadGameConfig(store_, &gameFile_);
  // The quality lists are filled once, for the shader version shown.
  switch (gameFileRead_) {
    case ReadResult::kRead:
      LoadSettings();
      break;
    case ReadResult::kTooLarge:
      return InitResult::kGameFileTooLarge;
    case ReadResult::kLinked:
      return InitResult::kGameFileLinked;
    case ReadResult::kUnreadable:
      return InitResult::kGameFileUnreadable;
    case ReadResult::kNotRead:
      FillLists();
      ApplyRecommendedSettings();
      break;
  }
  ApplyCheckBoxRules();
  return InitResult::kReady;
}

void OptionsBehaviour::ProbeAdapter(HardwareProbe& probe) {
  adapterDescription_ = probe.AdapterDescription();
  if (adapterDescription_.empty()) adapterDescription_ = L"undetected";
  controls_.SetText(IDC_ADAPTER, adapterDescription_);
}

void OptionsBehaviour::ProbeDisplayModes(HardwareProbe& probe) {
  controls_.ResetContent(IDC_RESOLUTION);
  std::vector<std::pair<uint32_t, uint32_t>> kept;
  for (const DisplayMode& mode : probe.DisplayModes()) {
    if (mode.width < kMinWidth || mode.height < kMinHeight || mode.bitsPerPixel < 32) continue;
    const std::pair<uint32_t, uint32_t> size(mode.width, mode.height);
    if (std::find(kept.begin(), kept.end(), size) != kept.end()) continue;
    kept.push_back(size);
    const std::wstring entry =
        FormatResolution(static_cast<int>(mode.width), static_cast<int>(mode.height));
    if (firstResolution_.empty()) firstResolution_ = entry;
    controls_.AddString(IDC_RESOLUTION, entry);
  }
}

void OptionsBehaviour::ProbePixelShader(HardwareProbe& probe) {
  const uint32_t version = probe.PixelShaderVersion();
  controls_.AddString(IDC_SHADER_VERSION, strings_.Load(IDS_LEVEL_LOW));
  Select(IDC_SHADER_VERSION, 0);
  if (version >= kPixelShader11) {
    controls_.AddString(IDC_SHADER_VERSION, strings_.Load(IDS_LEVEL_MEDIUM));
    supportedShaderLevel_ = 1;
  }
  if (version >= kPixelShader20) {
    controls_.AddString(IDC_SHADER_VERSION, strings_.Load(IDS_LEVEL_HIGH));
    supportedShaderLevel_ = 2;
  }
  if (version >= kPixelShader30) supportedShaderLevel_ = 3;
}

void OptionsBehaviour::Select(int id, int index) {
  // Windows drops the selection when asked for an entry past the end; Wine
  // keeps the old one. Dropping it here gives the same list on both.
  if (controls_.SetCurSel(id, index) < 0) controls_.SetCurSel(id, -1);
}

void OptionsBehaviour::AddLevels(int id, int count) {
  for (int level = 0; level < count; ++level)
    controls_.AddString(id, strings_.Load(kLevelNames[level]));
}

void OptionsBehaviour::FillTextureList() { AddLevels(IDC_TEXTURE, 3); }

void OptionsBehaviour::EmptyLists() {
  for (int id : kShaderDependentLists) {
    for (int count = controls_.GetCount(id); count > 0; --count) controls_.DeleteString(id, 0);
  }
}

void OptionsBehaviour::FillLists() {
  const int v = selectedShaderVersion_;
  const bool full = v >= 2 && supportedShaderLevel_ >= 2;
  const int upToMedium = v > 0 ? 2 : 1;
  AddLevels(IDC_OCEAN, full ? 3 : upToMedium);
  AddLevels(IDC_HEIGHTFIELD, full ? 3 : 1);
  AddLevels(IDC_OBJECT, full ? 3 : 2);
  AddLevels(IDC_CHARACTER, full ? 3 : 1);
  AddLevels(IDC_SKY, full ? 3 : upToMedium);
  AddLevels(IDC_TREE, full ? 3 : 1);
}

void OptionsBehaviour::ApplyCheckBoxRules() {
  const int ocean = controls_.GetCurSel(IDC_OCEAN);
  const int tree = controls_.GetCurSel(IDC_TREE);
  const bool waterReflection = ocean >= 2;
  const bool glare = selectedShaderVersion_ != 0;
  const bool treeNormalMap = tree >= 2;
  controls_.Enable(IDC_SHADOWMAP, true);
  controls_.Enable(IDC_WINDOW_MODE, true);
  controls_.Enable(IDC_WATER_REFLECTION, waterReflection);
  controls_.Enable(IDC_GLARE_RENDER, glare);
  controls_.Enable(IDC_TREE_NORMAL_MAP, treeNormalMap);
  // A box that cannot apply is also cleared; the others keep their state.
  if (!waterReflection) controls_.SetCheck(IDC_WATER_REFLECTION, kUnchecked);
  if (!glare) controls_.SetCheck(IDC_GLARE_RENDER, kUnchecked);
  if (!treeNormalMap) controls_.SetCheck(IDC_TREE_NORMAL_MAP, kUnchecked);
}

bool OptionsBehaviour::IsHighEndCard() const {
  std::wstring name = adapterDescription_;
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
  const bool geforce = Contains(name, L"80") && Contains(name, L"geforce");
  const bool radeon =
      (Contains(name, L"x19") || Contains(name, L"200")) && Contains(name, L"radeon");
  // Today's cards, which those names miss, by their own video memory.
  return selectedShaderVersion_ == 2 &&
         (geforce || radeon || probe_->DedicatedVideoMemory() > kHighEndVideoMemory);
}

void OptionsBehaviour::AppendStoredResolution() {
  controls_.AddString(IDC_RESOLUTION, StoredResolution());
  Select(IDC_RESOLUTION, controls_.GetCount(IDC_RESOLUTION) - 1);
}

// The game cannot start at a size that is not positive (an absent Width
// reads as -1): then the safe-mode file's size, else the first mode listed,
// else the smallest size the list admits.
std::wstring OptionsBehaviour::StoredResolution() const {
  auto positive = [](const TypedSettings& s) { return s.Width > 0 && s.Height > 0; };
  if (positive(store_.settings))
    return FormatResolution(store_.settings.Width, store_.settings.Height);
  SettingsStore safeMode;
  safeMode.textEncoder = store_.textEncoder;
  if (ReadSafeModeConfig(safeMode) == ReadResult::kRead && positive(safeMode.settings)) {
    return FormatResolution(safeMode.settings.Width, safeMode.settings.Height);
  }
  if (!firstResolution_.empty()) return firstResolution_;
  return FormatResolution(static_cast<int>(kMinWidth), static_cast<int>(kMinHeight));
}

void OptionsBehaviour::ApplyRecommendedSettings() {
  // Only without a Vorn.cfg (or one without pairs) do the safe-mode file's
  // pairs stand in; one that cannot be read now keeps the pairs read before,
  // and is looked at again, with its message, on OK.
  if (ReadGameConfig(store_) == ReadResult::kNotRead) {
    ReadSafeModeConfig(store_);
    AppendStoredResolution();
  }
  const int v = selectedShaderVersion_;
  const int column = IsHighEndCard() ? 0 : v == 2 ? 1 : v == 1 ? 2 : 3;
  for (const RecommendedRow& row : kRecommended) {
    if (row.isCheckBox) {
      controls_.SetCheck(row.id, row.values[column]);
    } else {
      Select(row.id, row.values[column]);
    }
  }
  volumeCloud_ = kRecommendedVolumeCloud[column];
  const int l = supportedShaderLevel_;
  Select(IDC_TEXTURE, l >= 2 ? 2 : l == 1 ? 1 : 0);
  Select(IDC_AUDIO, store_.settings.Audio);
  controls_.SetText(IDC_ADAPTER, adapterDescription_);
}

void OptionsBehaviour::LoadSettings() {
  const TypedSettings& s = store_.settings;
  const int v = s.ShaderVersion;
  selectedShaderVersion_ = v;
  Select(IDC_SHADER_VERSION, v);
  FillLists();

  // Lower shader versions offer fewer levels; HeightField and Ocean are
  // stored as the index + 1.
  const bool low = v == 0 || v == 1;
  Select(IDC_OBJECT, low ? std::min(s.Object, 1) : s.Object);
  Select(IDC_CHARACTER, low ? std::min(s.Character, 0) : s.Character);
  Select(IDC_SKY, v == 0 ? std::min(s.Sky, 0) : v == 1 ? std::min(s.Sky, 1) : s.Sky);
  Select(IDC_HEIGHTFIELD, !low ? s.HeightField - 1 : s.HeightField <= 1 ? s.HeightField - 1 : 0);
  Select(IDC_OCEAN, !low ? s.Ocean - 1 : s.Ocean <= 2 ? s.Ocean - 1 : v == 0 ? 0 : 1);
  Select(IDC_TREE, low ? std::min(s.Tree, 0) : s.Tree);
  Select(IDC_TEXTURE, s.Texture);
  AppendStoredResolution();

  controls_.SetCheck(IDC_SHADOWMAP, Checked(s.Shadowmap));
  controls_.SetCheck(IDC_WATER_REFLECTION, Checked(s.WaterReflection));
  controls_.SetCheck(IDC_GLARE_RENDER, Checked(s.GlareRender));
  controls_.SetCheck(IDC_TREE_NORMAL_MAP, Checked(s.TreeNormalMap));
  controls_.SetCheck(IDC_WINDOW_MODE, Checked(s.WindowMode));
  controls_.SetCheck(IDC_VSYNC, Checked(s.VSync));
  volumeCloud_ = s.VolumeCloud != 0 ? 1 : 0;
  Select(IDC_AUDIO, s.Audio);
  controls_.SetText(IDC_ADAPTER, adapterDescription_);
}

void OptionsBehaviour::OnRecommendedClicked() {
  ApplyRecommendedSettings();
  ApplyCheckBoxRules();
}

void OptionsBehaviour::OnShaderVersionChanged() {
  selectedShaderVersion_ = controls_.GetCurSel(IDC_SHADER_VERSION);
  store_.settings.ShaderVersion = selectedShaderVersion_;
  EmptyLists();
  FillLists();
  ApplyRecommendedSettings();
  ApplyCheckBoxRules();
}

void OptionsBehaviour::OnOceanChanged() {
  if (controls_.GetCurSel(IDC_OCEAN) > 1) controls_.SetCheck(IDC_WATER_REFLECTION, kChecked);
  ApplyCheckBoxRules();
}

void OptionsBehaviour::OnTreeChanged() {
  if (controls_.GetCurSel(IDC_TREE) > 1) controls_.SetCheck(IDC_TREE_NORMAL_MAP, kChecked);
  ApplyCheckBoxRules();
}

std::string OptionsBehaviour::VideoCardValue(TextEncoder& encoder) const {
  // One word the next read takes back whole, short enough for the game.
  std::wstring name = adapterDescription_.empty() ? L"undetected" : adapterDescription_;
  for (wchar_t& c : name) {
    if (c == L' ' || (c >= L'\t' && c <= L'\r')) c = L'_';
  }
  std::string encoded = encoder.Encode(name, store_.RegionCodePage());
  while (encoded.size() > kVideoCardBytes && !name.empty()) {
    // Drop whole characters (a surrogate pair together), never half of one.
    name.pop_back();
    if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
    encoded = encoder.Encode(name, store_.RegionCodePage());
  }
  return encoded;
}

SaveResult OptionsBehaviour::ApplySettings(TextEncoder& encoder) {
  adapterDescription_ = controls_.GetText(IDC_ADAPTER);
  const int l = supportedShaderLevel_;
  if (l < 2) controls_.SetCheck(IDC_TREE_NORMAL_MAP, kUnchecked);
  if (l == 0) {
    controls_.SetCheck(IDC_GLARE_RENDER, kUnchecked);
    controls_.SetCheck(IDC_WATER_REFLECTION, kUnchecked);
  }

  TypedSettings& s = store_.settings;
  s.SupportShader = l;
  s.ShaderVersion = selectedShaderVersion_;
  s.Texture = controls_.GetCurSel(IDC_TEXTURE);
  s.Character = controls_.GetCurSel(IDC_CHARACTER);
  s.HeightField = controls_.GetCurSel(IDC_HEIGHTFIELD) + 1;
  s.Sky = controls_.GetCurSel(IDC_SKY);
  s.Object = controls_.GetCurSel(IDC_OBJECT);
  // A high ocean needs at least as many objects.
  const int ocean = controls_.GetCurSel(IDC_OCEAN);
  if (ocean >= 2 && ocean > s.Object) s.Object = ocean;
  s.Ocean = ocean + 1;
  s.Tree = controls_.GetCurSel(IDC_TREE);

  // A field that does not match keeps its value.
  std::swscanf(controls_.GetText(IDC_RESOLUTION).c_str(), L"%d x %d , 32bit", &s.Width, &s.Height);

  s.Bit = 32;
  s.Shadowmap = controls_.GetCheck(IDC_SHADOWMAP);
  s.WaterReflection = controls_.GetCheck(IDC_WATER_REFLECTION);
  s.GlareRender = controls_.GetCheck(IDC_GLARE_RENDER);
  s.TreeNormalMap = controls_.GetCheck(IDC_TREE_NORMAL_MAP);
  s.WindowMode = controls_.GetCheck(IDC_WINDOW_MODE);
  s.VSync = controls_.GetCheck(IDC_VSYNC);
  s.VolumeCloud = volumeCloud_;
  s.Audio = controls_.GetCurSel(IDC_AUDIO);

  const std::pair<const char*, int32_t> stored[] = {
      {"GlareRender", s.GlareRender},
      {"ShaderVersion", s.ShaderVersion},
      {"SupportShader", s.SupportShader},
      {"Shadowmap", s.Shadowmap},
      {"WaterReflection", s.WaterReflection},
      {"VolumeCloud", s.VolumeCloud},
      {"Texture", s.Texture},
      {"Character", s.Character},
      {"HeightField", s.HeightField},
      {"Object", s.Object},
      {"Ocean", s.Ocean},
      {"Sky", s.Sky},
      {"Tree", s.Tree},
      {"TreeNormalMap", s.TreeNormalMap},
      {"Bit", 32},
      {"Width", s.Width},
      {"Height", s.Height},
      {"WindowMode", s.WindowMode},
      {"Audio", s.Audio},
      {"VSync", s.VSync},
  };
  SettingValues values;
  for (const auto& [key, value] : stored) values.emplace_back(key, std::to_string(value));
  values.emplace_back("VideoCard", VideoCardValue(encoder));
  return SaveGameConfig(store_, values);
}

}  // namespace vorn
