// What the Options dialog's behaviour needs from the outside world: its
// controls (by item ID), the string table, the hardware probe and text
// conversion. Win32 supplies the real ones, the unit tests in-memory fakes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/text_encoder.h"

namespace vorn {

// Answers as the Win32 controls give them: an unsorted combo box appends,
// a selection past the last entry leaves none and answers -1 (CB_ERR), and
// no selection reads as -1.
class DialogControls {
 public:
  virtual ~DialogControls() = default;
  virtual int AddString(int id, const std::wstring& text) = 0;
  virtual int DeleteString(int id, int index) = 0;
  virtual int ResetContent(int id) = 0;
  virtual int GetCount(int id) = 0;
  virtual int GetCurSel(int id) = 0;
  virtual int SetCurSel(int id, int index) = 0;
  virtual int GetCheck(int id) = 0;
  virtual void SetCheck(int id, int state) = 0;
  virtual void Enable(int id, bool enable) = 0;
  virtual std::wstring GetText(int id) = 0;
  virtual void SetText(int id, const std::wstring& text) = 0;
};

class StringTable {
 public:
  virtual ~StringTable() = default;
  virtual std::wstring Load(int id) = 0;
};

struct DisplayMode {
  uint32_t width;
  uint32_t height;
  uint32_t bitsPerPixel;
};

// Direct3D 9 and the display driver. Create first; the adapter and shader
// questions need the Direct3D object, the display modes do not.
class HardwareProbe {
 public:
  virtual ~HardwareProbe() = default;
  virtual bool CreateDirect3D() = 0;              // false when there is no Direct3D 9
  virtual std::wstring AdapterDescription() = 0;  // the last adapter's; empty if none
  virtual uint32_t PixelShaderVersion() = 0;      // 0 when the caps cannot be had
  // The named adapter's own video memory in bytes, as DXGI tells it; 0 when
  // DXGI is missing or knows no adapter of its PCI IDs. Asked only for the
  // recommended settings at the highest shader version, also after release:
  // it may take a moment longer than the rest.
  virtual uint64_t DedicatedVideoMemory() = 0;
  virtual std::vector<DisplayMode> DisplayModes() = 0;
  virtual void ReleaseDirect3D() = 0;
};

}  // namespace vorn
