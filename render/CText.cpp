#include "render/CText.h"
CText::CText() : listBase(0) {}
CText::~CText() {}
void CText::Build() {}
void CText::Print(const char*, ...) {}
