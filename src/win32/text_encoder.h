#pragma once

#include <optional>
#include <string>

#include "config/text_encoder.h"

namespace vorn {

class Win32TextEncoder : public TextEncoder {
 public:
  std::string Encode(const std::wstring& text, int codePage) override;
  std::optional<std::string> EncodeExactly(const std::wstring& text, int codePage) override;
  std::wstring Decode(const std::string& text, int codePage);
};

}  // namespace vorn
