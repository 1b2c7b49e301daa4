#include "dialog/options_behaviour.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/config_reader.h"
#include "dialog/video_memory.h"

#include "controls_contract.h"
#include "fake_dialog.h"
#include "temp_folder.h"

namespace vorn {
namespace {

struct FakeControlsFactory {
  static std::unique_ptr<DialogControls> Make() { return std::make_unique<FakeControls>(); }
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ControlsContract, FakeControlsFactory);

constexpr uint32_t kNoPixelShader = 0xFFFF0000;
constexpr uint32_t kPixelShader14 = 0xFFFF0104;
constexpr uint32_t kPixelShader20 = 0xFFFF0200;

class OptionsTest : public TempFolderTest, public FakeDialog {
 protected:
  bool Open() { return behaviour.Initialize(probe) == OptionsBehaviour::InitResult::kReady; }
  int Count(int id) { return controls.GetCount(id); }
  int Selected(int id) { return controls.GetCurSel(id); }
  void Choose(int id, int index) { controls.SetCurSel(id, index); }
  std::string Save() {
    const SaveResult result = behaviour.ApplySettings(encoder);
    EXPECT_TRUE(result.ok) << result.path.path << ": error " << result.error;
    return ReadBytes("Vorn.cfg");
  }

  FakeProbe probe;
  FakeEncoder encoder;
};

// ---- Hardware probe ------------------------------------------------------

using ProbeTest = OptionsTest;

TEST_F(ProbeTest, ShaderVersionListFollowsThePixelShader) {
  const struct {
    uint32_t version;
    int entries;
    int level;
  } cases[] = {{0xFFFF0300, 3, 3}, {kPixelShader20, 3, 2}, {kPixelShader14, 2, 1},
               {0xFFFF0101, 2, 1}, {0xFFFF0100, 1, 0},     {kNoPixelShader, 1, 0},
               {0, 1, 0}};
  for (const auto& c : cases) {
    FakeDialog d;
    probe.pixelShaderVersion = c.version;
    ASSERT_EQ(d.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);
    EXPECT_EQ(d.controls.GetCount(IDC_SHADER_VERSION), c.entries) << std::hex << c.version;
    EXPECT_EQ(d.behaviour.SupportedShaderLevel(), c.level) << std::hex << c.version;
  }
}

TEST_F(ProbeTest, KeepsEachLargeEnoughSizeOnceInEnumerationOrder) {
  probe.modes = {{1280, 1024, 32}, {800, 600, 32},  {1024, 768, 16}, {1024, 768, 32},
                 {1024, 768, 32},  {1280, 720, 32}, {1280, 1024, 8}, {1600, 900, 32}};
  WriteBytes("Vorn.cfg", "Width = 1600\nHeight = 900\n");
  ASSERT_TRUE(Open());
  const std::vector<std::wstring> expected = {L"1280 x 1024 , 32bit", L"1024 x 768 , 32bit",
                                              L"1600 x 900 , 32bit", L"1600 x 900 , 32bit"};
  EXPECT_EQ(controls.lists[IDC_RESOLUTION].items, expected);
  EXPECT_EQ(Selected(IDC_RESOLUTION), 3);
}

TEST_F(ProbeTest, AnAdapterWithoutNameIsUndetected) {
  probe.description = L"";
  ASSERT_TRUE(Open());
  EXPECT_EQ(controls.adapterText, L"undetected");
}

TEST_F(ProbeTest, WithoutDirect3DNothingIsFilledAndNothingMayBeSaved) {
  probe.available = false;
  EXPECT_FALSE(Open());
  EXPECT_FALSE(behaviour.CanSave());
  EXPECT_TRUE(controls.lists.empty());
}

// A slow driver: the dialog opened without the lists, and the answer came
// later. Asked again, the dialog is what it would have been in time, even
// after the player pressed the recommended-settings button meanwhile.
TEST_F(ProbeTest, AnAnswerThatComesLateFillsTheDialogAsIfInTime) {
  FakeDialog inTime;
  ASSERT_EQ(inTime.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);

  probe.available = false;
  EXPECT_FALSE(Open());
  behaviour.OnRecommendedClicked();
  probe.available = true;
  EXPECT_TRUE(Open());
  EXPECT_TRUE(behaviour.CanSave());
  EXPECT_EQ(controls.adapterText, inTime.controls.adapterText);
  for (int id : {IDC_SHADER_VERSION, IDC_RESOLUTION, IDC_TEXTURE, IDC_OCEAN, IDC_OBJECT, IDC_SKY,
                 IDC_CHARACTER, IDC_HEIGHTFIELD, IDC_TREE, IDC_AUDIO}) {
    EXPECT_EQ(controls.lists[id].items, inTime.controls.lists[id].items) << "list " << id;
    EXPECT_EQ(Selected(id), inTime.controls.GetCurSel(id)) << "list " << id;
  }
}

TEST_F(ProbeTest, ReleasesDirect3DBeforeReadingTheConfiguration) {
  WriteBytes("Vorn.cfg", "Width = 1600\r\n");
  std::size_t pairsAtRelease = 1;
  probe.onRelease = [&] { pairsAtRelease = store.Entries().size(); };
  ASSERT_TRUE(Open());
  EXPECT_TRUE(probe.released);
  EXPECT_EQ(pairsAtRelease, 0u) << "Vorn.cfg read while Direct3D was still held";
  EXPECT_EQ(store.Entries().size(), 1u);
  EXPECT_TRUE(behaviour.CanSave());
}

// ---- Quality lists and check boxes ----------------------------------------

using ListsTest = OptionsTest;

TEST_F(ListsTest, EntriesFollowTheShaderVersionAndLevel) {
  const struct {
    uint32_t pixelShader;
    int v;
    int ocean, heightField, object, character, sky, tree;
  } cases[] = {
      {kNoPixelShader, 0, 1, 1, 2, 1, 1, 1},
      {kPixelShader14, 1, 2, 1, 2, 1, 2, 1},
      {kPixelShader20, 1, 2, 1, 2, 1, 2, 1},
      {kPixelShader20, 2, 3, 3, 3, 3, 3, 3},
  };
  for (const auto& c : cases) {
    FakeDialog d;
    probe.pixelShaderVersion = c.pixelShader;
    ASSERT_EQ(d.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);
    d.ChooseShaderVersion(c.v);
    FakeControls& fresh = d.controls;
    SCOPED_TRACE(c.v);
    EXPECT_EQ(fresh.GetCount(IDC_OCEAN), c.ocean);
    EXPECT_EQ(fresh.GetCount(IDC_HEIGHTFIELD), c.heightField);
    EXPECT_EQ(fresh.GetCount(IDC_OBJECT), c.object);
    EXPECT_EQ(fresh.GetCount(IDC_CHARACTER), c.character);
    EXPECT_EQ(fresh.GetCount(IDC_SKY), c.sky);
    EXPECT_EQ(fresh.GetCount(IDC_TREE), c.tree);
    EXPECT_EQ(fresh.GetCount(IDC_TEXTURE), 3);
    EXPECT_EQ(fresh.lists[IDC_OCEAN].items[0], L"S105");
  }
}

TEST_F(ListsTest, AHighOceanChecksAndEnablesWaterReflection) {
  ASSERT_TRUE(Open());
  ChooseShaderVersion(2);
  Choose(IDC_OCEAN, 2);
  controls.SetCheck(IDC_WATER_REFLECTION, 0);
  behaviour.OnOceanChanged();
  EXPECT_EQ(controls.checks[IDC_WATER_REFLECTION], 1);
  EXPECT_TRUE(controls.enabled[IDC_WATER_REFLECTION]);

  Choose(IDC_OCEAN, 1);
  behaviour.OnOceanChanged();
  EXPECT_EQ(controls.checks[IDC_WATER_REFLECTION], 0);
  EXPECT_FALSE(controls.enabled[IDC_WATER_REFLECTION]);
}

TEST_F(ListsTest, HighTreesCheckAndEnableTheNormalMap) {
  ASSERT_TRUE(Open());
  ChooseShaderVersion(2);
  Choose(IDC_TREE, 2);
  controls.SetCheck(IDC_TREE_NORMAL_MAP, 0);
  behaviour.OnTreeChanged();
  EXPECT_EQ(controls.checks[IDC_TREE_NORMAL_MAP], 1);
  EXPECT_TRUE(controls.enabled[IDC_TREE_NORMAL_MAP]);

  Choose(IDC_TREE, 0);
  behaviour.OnTreeChanged();
  EXPECT_EQ(controls.checks[IDC_TREE_NORMAL_MAP], 0);
  EXPECT_FALSE(controls.enabled[IDC_TREE_NORMAL_MAP]);
}

TEST_F(ListsTest, ShaderVersionZeroDisablesAndClearsGlare) {
  ASSERT_TRUE(Open());
  controls.SetCheck(IDC_GLARE_RENDER, 1);
  ChooseShaderVersion(0);
  EXPECT_EQ(controls.checks[IDC_GLARE_RENDER], 0);
  EXPECT_FALSE(controls.enabled[IDC_GLARE_RENDER]);
  EXPECT_TRUE(controls.enabled[IDC_SHADOWMAP]);
  EXPECT_TRUE(controls.enabled[IDC_WINDOW_MODE]);
}

TEST_F(ListsTest, WithoutConfigEveryShaderChangeAppendsTheResolutionAgain) {
  WriteBytes("VornSafeMode.cfg", "Width = 1024\nHeight = 768\n");
  ASSERT_TRUE(Open());
  EXPECT_EQ(Count(IDC_RESOLUTION), 3);
  ChooseShaderVersion(1);
  ChooseShaderVersion(2);
  EXPECT_EQ(Count(IDC_RESOLUTION), 5);
  EXPECT_EQ(Selected(IDC_RESOLUTION), 4);
  EXPECT_EQ(controls.GetText(IDC_RESOLUTION), L"1024 x 768 , 32bit");
}

// ---- Recommended settings --------------------------------------------------

using RecommendedTest = OptionsTest;

struct Column {
  int character, object, sky, ocean, shader, tree;
  int shadow, water, glare, treeNormal;
  int heightField, vsync, volumeCloud;
};
constexpr Column kHighEnd = {2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 2, 0, 1};
constexpr Column kVersion2 = {1, 1, 1, 1, 2, 2, 1, 0, 1, 1, 1, 1, 1};
constexpr Column kVersion1 = {0, 1, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0, 1};
constexpr Column kVersion0 = {0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0};

void ExpectColumn(FakeControls& c, const OptionsBehaviour& b, const Column& col) {
  EXPECT_EQ(c.GetCurSel(IDC_CHARACTER), col.character);
  EXPECT_EQ(c.GetCurSel(IDC_OBJECT), col.object);
  EXPECT_EQ(c.GetCurSel(IDC_SKY), col.sky);
  EXPECT_EQ(c.GetCurSel(IDC_OCEAN), col.ocean);
  EXPECT_EQ(c.GetCurSel(IDC_SHADER_VERSION), col.shader);
  EXPECT_EQ(c.GetCurSel(IDC_TREE), col.tree);
  EXPECT_EQ(c.GetCurSel(IDC_HEIGHTFIELD), col.heightField);
  EXPECT_EQ(c.checks[IDC_SHADOWMAP], col.shadow);
  EXPECT_EQ(c.checks[IDC_WATER_REFLECTION], col.water);
  EXPECT_EQ(c.checks[IDC_GLARE_RENDER], col.glare);
  EXPECT_EQ(c.checks[IDC_TREE_NORMAL_MAP], col.treeNormal);
  EXPECT_EQ(c.checks[IDC_VSYNC], col.vsync);
  EXPECT_EQ(b.VolumeCloudFlag(), col.volumeCloud);
}

TEST_F(RecommendedTest, HighEndCardsTakeTheFirstColumnAtVersionTwo) {
  for (const wchar_t* card :
       {L"NVIDIA GeForce 8800 GTX", L"ATI Radeon X1950 Pro", L"ATI Radeon HD 3200 Graphics"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(card)));
    FakeDialog d;
    probe.description = card;
    ASSERT_EQ(d.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);
    d.ChooseShaderVersion(2);
    ExpectColumn(d.controls, d.behaviour, kHighEnd);
  }
}

// The cards of the game's day keep the column their names give them; today's
// discrete cards, which those names miss, are known by their own video
// memory: more than any card of the game's day had.
TEST_F(RecommendedTest, TodaysCardsAreKnownByTheirVideoMemory) {
  constexpr uint64_t kMiB = uint64_t{1} << 20;
  const struct {
    const wchar_t* name;
    uint64_t memory;  // as DXGI tells it; 0 where it cannot
    bool highEnd;
  } cards[] = {
      // The game's day, by name alone or with their memory.
      {L"NVIDIA GeForce 8800 GTX", 768 * kMiB, true},
      {L"NVIDIA GeForce 8800 GTX", 0, true},
      {L"ATI Radeon X1950 Pro", 256 * kMiB, true},
      {L"NVIDIA GeForce 8600 GT", 256 * kMiB, false},
      {L"NVIDIA GeForce 8600 GT", 1024 * kMiB, false},  // the budget 1 GiB variant
      {L"ATI Mobility Radeon HD 2600", 256 * kMiB, false},
      {L"NVIDIA GeForce 7600 GT", 256 * kMiB, false},
      // Today's, which the names miss or place at random.
      {L"NVIDIA GeForce RTX 4090", 24576 * kMiB, true},
      {L"NVIDIA GeForce RTX 4060", 8192 * kMiB, true},
      {L"NVIDIA GeForce RTX 2060", 6144 * kMiB, true},
      {L"NVIDIA GeForce GTX 1660", 6144 * kMiB, true},
      {L"NVIDIA GeForce GT 1030", 2048 * kMiB, true},
      {L"AMD Radeon RX 7900 XTX", 24560 * kMiB, true},
      {L"AMD Radeon RX 580 Series", 8192 * kMiB, true},
      {L"AMD Radeon RX 6400", 4080 * kMiB, true},  // reported a little short
      // Integrated adapters report a small memory of their own.
      {L"Intel(R) UHD Graphics 630", 128 * kMiB, false},
      {L"AMD Radeon(TM) Graphics", 512 * kMiB, false},
      // Without DXGI, or no adapter of those IDs: the names alone.
      {L"NVIDIA GeForce RTX 4070", 0, false},
      {L"NVIDIA GeForce RTX 3080", 0, true},
  };
  for (const auto& card : cards) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(card.name)) + ", " +
                 std::to_string(card.memory / kMiB) + " MiB");
    FakeDialog d;
    probe.description = card.name;
    probe.videoMemory = card.memory;
    ASSERT_EQ(d.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);
    d.ChooseShaderVersion(2);
    ExpectColumn(d.controls, d.behaviour, card.highEnd ? kHighEnd : kVersion2);
    d.ChooseShaderVersion(1);
    ExpectColumn(d.controls, d.behaviour, kVersion1);
  }
}

// DXGI's DedicatedVideoMemory is a SIZE_T: a 32-bit program may read a card
// of 4 GiB or more clamped or cut to its low 32 bits. The budget Windows 10
// gives for the adapter's local memory is 64 bits wide and keeps it large.
TEST(VideoMemoryTest, TheAdapterDirect3DNamedIsFoundAndACutValueDoesNotHideIt) {
  constexpr uint64_t kGiB = uint64_t{1} << 30;
  const auto cut = [](uint64_t bytes) { return bytes & 0xFFFFFFFFu; };
  const std::vector<DxgiAdapter> adapters = {
      {0x8086, 0x3e92, 128 << 20, 0},             // integrated, before Windows 10
      {0x10de, 0x1f08, cut(8 * kGiB), 7 * kGiB},  // 8 GiB read as 0
      {0x1002, 0x73bf, cut(6 * kGiB), 0},         // 6 GiB read as 2 GiB
      {0x10de, 0x2684, 0xFFFFFFFF, 22 * kGiB},    // clamped
      {0x10de, 0x0402, 256 << 20, 230 << 20},     // a card of the game's day
      {0x10de, 0x1f08, 6 * kGiB, 0},              // a second of the same IDs
  };
  EXPECT_EQ(VideoMemoryOf(adapters, 0x8086, 0x3e92), uint64_t{128} << 20);
  EXPECT_EQ(VideoMemoryOf(adapters, 0x10de, 0x1f08), 7 * kGiB) << "the first of those IDs";
  EXPECT_GT(VideoMemoryOf(adapters, 0x1002, 0x73bf), kHighEndVideoMemory);
  EXPECT_EQ(VideoMemoryOf(adapters, 0x10de, 0x2684), 22 * kGiB);
  EXPECT_LT(VideoMemoryOf(adapters, 0x10de, 0x0402), kHighEndVideoMemory);
  EXPECT_EQ(VideoMemoryOf(adapters, 0x10de, 0x1234), 0u) << "no adapter of those IDs";
  EXPECT_EQ(VideoMemoryOf({}, 0x10de, 0x1f08), 0u) << "no DXGI";
}

TEST_F(RecommendedTest, OtherCardsAtVersionTwoTakeTheSecondColumn) {
  probe.description = L"ATI Mobility Radeon HD 2600";
  ASSERT_TRUE(Open());
  ChooseShaderVersion(2);
  ExpectColumn(controls, behaviour, kVersion2);
}

TEST_F(RecommendedTest, VersionOneAndZeroTakeTheirColumnsWhateverTheCard) {
  ASSERT_TRUE(Open());
  ChooseShaderVersion(1);
  ExpectColumn(controls, behaviour, kVersion1);
  ChooseShaderVersion(0);
  ExpectColumn(controls, behaviour, kVersion0);
}

TEST_F(RecommendedTest, TextureFollowsTheLevelAndAudioTheStore) {
  WriteBytes("VornSafeMode.cfg", "Audio = 0\n");
  probe.pixelShaderVersion = kPixelShader14;
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selected(IDC_TEXTURE), 1);
  EXPECT_EQ(Selected(IDC_AUDIO), 0);
}

TEST_F(RecommendedTest, TheButtonReappliesTheValuesAndTheRules) {
  WriteBytes("Vorn.cfg", "ShaderVersion = 2\nOcean = 1\nTree = 0\nWaterReflection = 1\n");
  ASSERT_TRUE(Open());
  behaviour.OnRecommendedClicked();
  ExpectColumn(controls, behaviour, kHighEnd);
  EXPECT_TRUE(controls.enabled[IDC_WATER_REFLECTION]);
  EXPECT_EQ(Count(IDC_RESOLUTION), 3) << "a found Vorn.cfg adds no resolution";
}

// ---- Loading the stored settings ------------------------------------------

using LoadTest = OptionsTest;

TEST_F(LoadTest, CapsLevelsAtShaderVersionZero) {
  WriteBytes("Vorn.cfg",
             "ShaderVersion = 0\nObject = 2\nSky = 1\nOcean = 3\nHeightField = 3\nTree = 2\n"
             "Character = 2\n");
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selected(IDC_OBJECT), 1);
  EXPECT_EQ(Selected(IDC_SKY), 0);
  EXPECT_EQ(Selected(IDC_OCEAN), 0);
  EXPECT_EQ(Selected(IDC_HEIGHTFIELD), 0);
  EXPECT_EQ(Selected(IDC_TREE), 0);
  EXPECT_EQ(Selected(IDC_CHARACTER), 0);
}

TEST_F(LoadTest, CapsLevelsAtShaderVersionOne) {
  WriteBytes("Vorn.cfg", "ShaderVersion = 1\nOcean = 3\nSky = 2\nHeightField = 1\n");
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selected(IDC_OCEAN), 1);
  EXPECT_EQ(Selected(IDC_SKY), 1);
  EXPECT_EQ(Selected(IDC_HEIGHTFIELD), 0);
}

TEST_F(LoadTest, ShowsEveryLevelAtShaderVersionTwo) {
  WriteBytes("Vorn.cfg",
             "ShaderVersion = 2\nOcean = 3\nHeightField = 3\nObject = 2\nTree = 2\nTexture = 1\n"
             "Shadowmap = 0\nWaterReflection = 1\nGlareRender = 1\nTreeNormalMap = 1\n"
             "WindowMode = 1\nVsync = 1\nAudio = 0\nVolumeCloud = 1\nWidth = 1280\n"
             "Height = 1024\n");
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selected(IDC_SHADER_VERSION), 2);
  EXPECT_EQ(Selected(IDC_OCEAN), 2);
  EXPECT_EQ(Selected(IDC_HEIGHTFIELD), 2);
  EXPECT_EQ(Selected(IDC_OBJECT), 2);
  EXPECT_EQ(Selected(IDC_TREE), 2);
  EXPECT_EQ(Selected(IDC_TEXTURE), 1);
  EXPECT_EQ(Selected(IDC_AUDIO), 0);
  EXPECT_EQ(controls.checks[IDC_SHADOWMAP], 0);
  EXPECT_EQ(controls.checks[IDC_WATER_REFLECTION], 1);
  EXPECT_EQ(controls.checks[IDC_GLARE_RENDER], 1);
  EXPECT_EQ(controls.checks[IDC_TREE_NORMAL_MAP], 1);
  EXPECT_EQ(controls.checks[IDC_WINDOW_MODE], 1);
  EXPECT_EQ(controls.checks[IDC_VSYNC], 1);
  EXPECT_EQ(behaviour.VolumeCloudFlag(), 0) << "a read always turns volume clouds off";
  EXPECT_EQ(controls.GetText(IDC_RESOLUTION), L"1280 x 1024 , 32bit");
  EXPECT_EQ(Selected(IDC_RESOLUTION), Count(IDC_RESOLUTION) - 1);
}

// The fake keeps an old selection on a failed request, as Wine's controls do.
TEST_F(LoadTest, AStoredValueBeyondTheListLeavesNoSelection) {
  WriteBytes("Vorn.cfg", "ShaderVersion = 2\nTexture = 7\n");
  probe.pixelShaderVersion = kPixelShader14;
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selected(IDC_TEXTURE), -1);
  EXPECT_EQ(Selected(IDC_SHADER_VERSION), -1);
}

TEST_F(LoadTest, ASizeThatIsNotPositiveGivesWayToTheSafeModeSize) {
  WriteBytes("VornSafeMode.cfg", "Width = 1024\nHeight = 768\n");
  for (const char* stored :
       {"Texture = 1\n", "Width = 0\nHeight = 1024\n", "Width = 1280\nHeight = -1\n"}) {
    FakeDialog d;
    WriteBytes("Vorn.cfg", stored);
    ASSERT_EQ(d.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);
    EXPECT_EQ(d.controls.lists[IDC_RESOLUTION].items.size(), 3u) << stored;
    EXPECT_EQ(d.controls.GetText(IDC_RESOLUTION), L"1024 x 768 , 32bit") << stored;
  }
}

TEST_F(LoadTest, WithoutAnyPositiveSizeTheFirstModeListedIsAppended) {
  WriteBytes("VornSafeMode.cfg", "Width = -1\n");
  WriteBytes("Vorn.cfg", "Texture = 1\n");
  probe.modes = {{1600, 900, 32}, {1024, 768, 32}};
  ASSERT_TRUE(Open());
  EXPECT_EQ(Count(IDC_RESOLUTION), 3);
  EXPECT_EQ(Selected(IDC_RESOLUTION), 2);
  EXPECT_EQ(controls.GetText(IDC_RESOLUTION), L"1600 x 900 , 32bit");

  FakeDialog withoutModes;
  probe.modes.clear();
  ASSERT_EQ(withoutModes.behaviour.Initialize(probe), OptionsBehaviour::InitResult::kReady);
  EXPECT_EQ(withoutModes.controls.GetText(IDC_RESOLUTION), L"1024 x 768 , 32bit");
}

TEST_F(LoadTest, AGameFileWithoutPairsOpensAsAFirstStart) {
  WriteBytes("VornSafeMode.cfg", "Width = 1024\nHeight = 768\nTexture = 0\n");
  WriteBytes("Vorn.cfg", std::string(4096, '\0'));
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selected(IDC_SHADER_VERSION), 0) << "the recommended settings";
  EXPECT_EQ(Count(IDC_RESOLUTION), 3);
  EXPECT_EQ(controls.GetText(IDC_RESOLUTION), L"1024 x 768 , 32bit");
  const std::string saved = Save();
  EXPECT_EQ(saved.rfind("width = 1024\r\nheight = 768\r\ntexture = 2\r\nglarerender = 0\r\n", 0),
            0u)
      << saved;
  EXPECT_EQ(saved.find("id = "), std::string::npos) << "an empty id never stands before a tail";
  EXPECT_EQ(saved.substr(saved.size() - 4097), "\n" + std::string(4096, '\0'));
}

TEST_F(LoadTest, AGameFileTooLargeToHoldEndsTheDialog) {
  WriteBytes("Vorn.cfg", "Width = 1600\n");
  Extend("Vorn.cfg", kMaxConfigBytes + 1);
  EXPECT_EQ(behaviour.Initialize(probe), OptionsBehaviour::InitResult::kGameFileTooLarge);
  EXPECT_EQ(std::filesystem::file_size("Vorn.cfg"), kMaxConfigBytes + 1);
}

TEST_F(LoadTest, AGameFileThatCannotBeReadEndsTheDialogWithoutTheSafeModeFile) {
  WriteBytes("VornSafeMode.cfg", "Width = 1024\r\n");
  std::filesystem::create_directory("Vorn.cfg");
  EXPECT_EQ(behaviour.Initialize(probe), OptionsBehaviour::InitResult::kGameFileUnreadable);
  EXPECT_NE(behaviour.GameFile().error, 0u);
  EXPECT_EQ(store.LookupText("Width"), "") << "nothing taken from the safe-mode file";
}

TEST_F(LoadTest, AGameFileWithAnotherNameEndsTheDialogUnread) {
  WriteBytes("elsewhere.cfg", "Width = 1600\r\n");
  std::filesystem::create_hard_link("elsewhere.cfg", "Vorn.cfg");
  EXPECT_EQ(behaviour.Initialize(probe), OptionsBehaviour::InitResult::kGameFileLinked);
  EXPECT_EQ(behaviour.GameFile().link.names, 2u);
  EXPECT_EQ(store.LookupText("Width"), "") << "nothing of it is read";
}

// ---- Applying and saving ---------------------------------------------------

using ApplyTest = OptionsTest;

TEST_F(ApplyTest, CreatesVornCfgFromTheSafeModeFileWithKeysInTheirOrder) {
  WriteBytes("VornSafeMode.cfg", "Width = 1024\r\nHeight = 768\r\nCDNServerIP = 192.0.2.1\r\n");
  probe.pixelShaderVersion = kNoPixelShader;
  ASSERT_TRUE(Open());
  EXPECT_EQ(Save(),
            "width = 1024\r\nheight = 768\r\ncdnserverip = 192.0.2.1\r\nglarerender = 0\r\n"
            "shaderversion = 0\r\nsupportshader = 0\r\nshadowmap = 1\r\nwaterreflection = 0\r\n"
            "volumecloud = 0\r\ntexture = 0\r\ncharacter = 0\r\nheightfield = 1\r\n"
            "object = 1\r\nocean = 1\r\nsky = 0\r\ntree = 0\r\ntreenormalmap = 0\r\n"
            "bit = 32\r\nwindowmode = 0\r\naudio = 1\r\nvsync = 0\r\n"
            "videocard = NVIDIA_GeForce_8800_GTX\r\nid = \r\n");
}

TEST_F(ApplyTest, KeepsUnknownKeysAndUpdatesKnownOnesInPlace) {
  WriteBytes("Vorn.cfg",
             "TestMode = 3\r\nWidth = 1280\r\nHeight = 1024\r\nBit = 16\r\nID = hero\r\n"
             "VideoCard = old\r\nGlobalType = 7\r\n");
  ASSERT_TRUE(Open());
  const std::string saved = Save();
  EXPECT_EQ(saved.rfind("testmode = 3\r\nwidth = 1280\r\nheight = 1024\r\nbit = 32\r\nid = hero\r\n"
                        "videocard = NVIDIA_GeForce_8800_GTX\r\nglobaltype = 7\r\nglarerender = ",
                        0),
            0u)
      << saved;
}

TEST_F(ApplyTest, ClearsEffectsTheCardCannotShow) {
  probe.pixelShaderVersion = kNoPixelShader;
  ASSERT_TRUE(Open());
  for (int id : {IDC_GLARE_RENDER, IDC_WATER_REFLECTION, IDC_TREE_NORMAL_MAP, IDC_VSYNC}) {
    controls.SetCheck(id, 1);
  }
  Save();
  EXPECT_EQ(store.settings.GlareRender, 0);
  EXPECT_EQ(store.settings.WaterReflection, 0);
  EXPECT_EQ(store.settings.TreeNormalMap, 0);
  EXPECT_EQ(store.settings.VSync, 1);
  EXPECT_EQ(controls.checks[IDC_GLARE_RENDER], 0) << "cleared on screen too";
}

TEST_F(ApplyTest, LevelOneKeepsGlareAndWaterButNotTheNormalMap) {
  probe.pixelShaderVersion = kPixelShader14;
  ASSERT_TRUE(Open());
  for (int id : {IDC_GLARE_RENDER, IDC_WATER_REFLECTION, IDC_TREE_NORMAL_MAP}) {
    controls.SetCheck(id, 1);
  }
  Save();
  EXPECT_EQ(store.settings.GlareRender, 1);
  EXPECT_EQ(store.settings.WaterReflection, 1);
  EXPECT_EQ(store.settings.TreeNormalMap, 0);
}

TEST_F(ApplyTest, AHighOceanRaisesObjects) {
  const struct {
    int ocean, object, storedObject, storedOcean;
  } cases[] = {{2, 0, 2, 3}, {1, 0, 0, 2}, {2, 2, 2, 3}, {0, 1, 1, 1}};
  ASSERT_TRUE(Open());
  ChooseShaderVersion(2);
  for (const auto& c : cases) {
    Choose(IDC_OCEAN, c.ocean);
    Choose(IDC_OBJECT, c.object);
    Save();
    EXPECT_EQ(store.settings.Object, c.storedObject) << c.ocean << "/" << c.object;
    EXPECT_EQ(store.settings.Ocean, c.storedOcean) << c.ocean << "/" << c.object;
  }
}

TEST_F(ApplyTest, ListsWithoutSelectionStoreMinusOneOrZero) {
  ASSERT_TRUE(Open());
  Choose(IDC_SKY, -1);
  Choose(IDC_HEIGHTFIELD, -1);
  Save();
  EXPECT_EQ(store.LookupText("Sky"), "-1");
  EXPECT_EQ(store.LookupText("HeightField"), "0");
}

TEST_F(ApplyTest, ParsesTheResolutionBackAndAlwaysStores32Bits) {
  WriteBytes("Vorn.cfg", "Width = 800\nHeight = 600\nBit = 16\n");
  ASSERT_TRUE(Open());
  Choose(IDC_RESOLUTION, 1);
  Save();
  EXPECT_EQ(store.LookupText("Width"), "1280");
  EXPECT_EQ(store.LookupText("Height"), "1024");
  EXPECT_EQ(store.LookupText("Bit"), "32");
}

TEST_F(ApplyTest, VideoCardIsOneWordThatFitsTheGamesBuffer) {
  probe.description = L"ATI\tRadeon  HD 2600\r\n";
  ASSERT_TRUE(Open());
  Save();
  EXPECT_EQ(store.LookupText("VideoCard"), "ATI_Radeon__HD_2600__");

  controls.adapterText = L"";
  Save();
  EXPECT_EQ(store.LookupText("VideoCard"), "undetected");

  controls.adapterText = std::wstring(126, L'a') + L"\xD55C";  // needs 128 bytes
  Save();
  EXPECT_EQ(store.LookupText("VideoCard"), std::string(126, 'a'));

  controls.adapterText = std::wstring(62, L'\xD55C') + L"\xD83D\xDE00";  // pair dropped whole
  Save();
  EXPECT_EQ(store.LookupText("VideoCard").size(), 124u);
}

TEST_F(ApplyTest, ReportsAFileThatGotASecondNameAndLeavesItAlone) {
  WriteBytes("Vorn.cfg", "Width = 1280\r\n");
  ASSERT_TRUE(Open());
  std::filesystem::create_hard_link("Vorn.cfg", "elsewhere.cfg");
  const SaveResult result = behaviour.ApplySettings(encoder);
  EXPECT_TRUE(!result.ok && result.linked);
  EXPECT_EQ(ReadBytes("elsewhere.cfg"), "Width = 1280\r\n");
}

}  // namespace
}  // namespace vorn
