#pragma once

#include <string>

#include "dialog/dialog_ports.h"

namespace vorn {

class Win32TextEncoder : public TextEncoder {
 public:
  std::string Encode(const std::wstring& text, int codePage) override;
  std::wstring Decode(const std::string& text, int codePage);
};

}  // namespace vorn
