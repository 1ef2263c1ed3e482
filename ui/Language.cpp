#include "ui/Language.h"

#include <atomic>

namespace {
std::atomic<int> g_language{1};
}

int LanguageFlag() { return g_language.load(); }

void SetLanguageFlag(int flag) { g_language.store(flag); }

QString Lang(const char* english, const char* chinese)
{
    return QString::fromUtf8(IsChinese() ? chinese : english);
}
