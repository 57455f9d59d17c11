// CPlainDropDown: a drop-down selector with nothing of its own, for owners that
// need a concrete selector type.
#pragma once
#include "controls/VirtualDropDown.h"

class CPlainDropDown : public CVirtualDropDown {
 public:
  CPlainDropDown() = default;
  ~CPlainDropDown() override;
};
