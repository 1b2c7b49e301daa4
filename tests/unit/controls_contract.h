// How a combo box (drop-down list) and a check box answer, checked against
// both the in-memory fake and real Win32 controls. `TypeParam` makes a fresh
// DialogControls whose items exist for every ID the dialog uses.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "dialog/dialog_ports.h"
#include "resource_ids.h"

namespace vorn {

template <typename Factory>
class ControlsContract : public ::testing::Test {
 protected:
  void SetUp() override { controls_ = Factory::Make(); }
  DialogControls& c() { return *controls_; }
  std::unique_ptr<DialogControls> controls_;
};

TYPED_TEST_SUITE_P(ControlsContract);

TYPED_TEST_P(ControlsContract, AnUnsortedListAppends) {
  EXPECT_EQ(this->c().AddString(IDC_OCEAN, L"b"), 0);
  EXPECT_EQ(this->c().AddString(IDC_OCEAN, L"a"), 1);
  EXPECT_EQ(this->c().GetCount(IDC_OCEAN), 2);
  EXPECT_EQ(this->c().SetCurSel(IDC_OCEAN, 0), 0);
  EXPECT_EQ(this->c().GetText(IDC_OCEAN), L"b");
}

TYPED_TEST_P(ControlsContract, ANewListHasNoSelection) {
  EXPECT_EQ(this->c().GetCurSel(IDC_TREE), -1);
  this->c().AddString(IDC_TREE, L"x");
  EXPECT_EQ(this->c().GetCurSel(IDC_TREE), -1);
  EXPECT_EQ(this->c().GetText(IDC_TREE), L"");
}

// Whether a failed selection also drops an earlier one differs between
// Windows (it does) and Wine (it does not); the dialog never relies on it.
TYPED_TEST_P(ControlsContract, SelectingPastTheEndFails) {
  this->c().AddString(IDC_SKY, L"x");
  EXPECT_EQ(this->c().SetCurSel(IDC_SKY, 1), -1);
  EXPECT_EQ(this->c().GetCurSel(IDC_SKY), -1);
  EXPECT_EQ(this->c().SetCurSel(IDC_SKY, 0), 0);
  EXPECT_EQ(this->c().SetCurSel(IDC_SKY, 2), -1);
}

TYPED_TEST_P(ControlsContract, SelectingMinusOneDropsTheSelection) {
  this->c().AddString(IDC_SKY, L"x");
  this->c().SetCurSel(IDC_SKY, 0);
  EXPECT_EQ(this->c().SetCurSel(IDC_SKY, -1), -1);
  EXPECT_EQ(this->c().GetCurSel(IDC_SKY), -1);
}

TYPED_TEST_P(ControlsContract, DeletingEveryEntryEmptiesTheSelection) {
  for (const wchar_t* text : {L"a", L"b", L"c"}) this->c().AddString(IDC_OBJECT, text);
  this->c().SetCurSel(IDC_OBJECT, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(this->c().DeleteString(IDC_OBJECT, 0), 2 - i);
  EXPECT_EQ(this->c().GetCount(IDC_OBJECT), 0);
  EXPECT_EQ(this->c().GetCurSel(IDC_OBJECT), -1);
  EXPECT_EQ(this->c().DeleteString(IDC_OBJECT, 0), -1);
}

TYPED_TEST_P(ControlsContract, ResetContentEmptiesListAndSelection) {
  this->c().AddString(IDC_RESOLUTION, L"1024 x 768 , 32bit");
  this->c().SetCurSel(IDC_RESOLUTION, 0);
  this->c().ResetContent(IDC_RESOLUTION);
  EXPECT_EQ(this->c().GetCount(IDC_RESOLUTION), 0);
  EXPECT_EQ(this->c().GetCurSel(IDC_RESOLUTION), -1);
}

TYPED_TEST_P(ControlsContract, CheckBoxesStartUncheckedAndKeepTheirState) {
  EXPECT_EQ(this->c().GetCheck(IDC_VSYNC), 0);
  this->c().SetCheck(IDC_VSYNC, 1);
  EXPECT_EQ(this->c().GetCheck(IDC_VSYNC), 1);
  this->c().SetCheck(IDC_VSYNC, 0);
  EXPECT_EQ(this->c().GetCheck(IDC_VSYNC), 0);
}

TYPED_TEST_P(ControlsContract, TheAdapterTextReadsBackAsWritten) {
  this->c().SetText(IDC_ADAPTER, L"ATI Radeon HD 2600");
  EXPECT_EQ(this->c().GetText(IDC_ADAPTER), L"ATI Radeon HD 2600");
}

REGISTER_TYPED_TEST_SUITE_P(ControlsContract, AnUnsortedListAppends, ANewListHasNoSelection,
                            SelectingPastTheEndFails, SelectingMinusOneDropsTheSelection,
                            DeletingEveryEntryEmptiesTheSelection,
                            ResetContentEmptiesListAndSelection,
                            CheckBoxesStartUncheckedAndKeepTheirState,
                            TheAdapterTextReadsBackAsWritten);

}  // namespace vorn
