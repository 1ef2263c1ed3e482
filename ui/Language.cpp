#include "ui/Language.h"

#include <atomic>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {
std::atomic<int> g_language{1};

// Qt's own texts (file dialogs, standard buttons, edit menus) in Chinese,
// from the system's Qt translations; without them they stay English.
void FollowWithQtTexts(bool chinese)
{
    static QTranslator* translator = nullptr;
    static bool installed = false;
    auto* app = QCoreApplication::instance();
    if (app == nullptr)
        return;
    if (chinese && !translator) {
        translator = new QTranslator(app);
        if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete translator;
            translator = nullptr;
            return;
        }
    }
    if (!translator || chinese == installed)
        return;
    if (chinese)
        QCoreApplication::installTranslator(translator);
    else
        QCoreApplication::removeTranslator(translator);
    installed = chinese;
}
} // namespace

int LanguageFlag() { return g_language.load(); }

void SetLanguageFlag(int flag)
{
    g_language.store(flag);
    FollowWithQtTexts(flag == 1);
}

QString Lang(const char* english, const char* chinese)
{
    return QString::fromUtf8(IsChinese() ? chinese : english);
}
