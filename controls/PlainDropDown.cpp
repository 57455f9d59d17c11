#include "controls/PlainDropDown.h"

CPlainDropDown::~CPlainDropDown() = default;
