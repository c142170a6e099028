#include "ui/main_window/japanese_ui.h"

#include <cmath>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/main_window/layout_table.h"

namespace tanka {

void installWindowFontSubstitution() {
    static const bool done = [] {
        QFont::insertSubstitutions(QString::fromUtf8(WindowFontFamily),
                                   {QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                                    QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("Noto Sans CJK JP")});
        return true;
    }();
    (void)done;
}

void setupJapaneseUi(QCoreApplication& app) {
    installWindowFontSubstitution();
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

QFont windowFont(double points, bool bold, bool italic) {
    installWindowFontSubstitution();
    QFont font(QString::fromUtf8(WindowFontFamily));
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

} // namespace tanka
