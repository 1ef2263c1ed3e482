#pragma once
#include <QString>

// The process-wide language flag: 1 Chinese, 0 English. Loaded from and
// stored to the profile by the main frame; every language-dependent text
// tests it when it is shown. Setting it also switches Qt's own texts (file
// dialogs and the like) to Chinese and back, where Qt's translations are
// installed.
int LanguageFlag();
void SetLanguageFlag(int flag);
inline bool IsChinese() { return LanguageFlag() == 1; }

// The text for the current language; both arguments are UTF-8.
QString Lang(const char* english, const char* chinese);
