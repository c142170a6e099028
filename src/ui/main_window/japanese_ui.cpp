#include "ui/main_window/japanese_ui.h"

#include <cmath>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/main_window/layout_table.h"

namespace tanka {

void installWindowFontSubstitution() {
    static const bool done = [] {
        // Only used where the designer's font itself is missing: Windows
        // under another name or without it, then the Linux gothics.
        QFont::insertSubstitutions(QString::fromUtf8(WindowFontFamily),
                                   {QStringLiteral("MS Gothic"), QStringLiteral("BIZ UDGothic"),
                                    QStringLiteral("Yu Gothic"), QStringLiteral("Meiryo"),
                                    QStringLiteral("IPAGothic"), QStringLiteral("IPAゴシック"),
                                    QStringLiteral("Noto Sans Mono CJK JP"),
                                    QStringLiteral("Noto Sans CJK JP")});
        return true;
    }();
    (void)done;
}

void setupJapaneseUi(QCoreApplication& app) {
    installWindowFontSubstitution();
    // The translation shipped beside the program (the Windows package's
    // translations folder) first, then Qt's own installed one.
    auto* translator = new QTranslator(&app);
    const QString name = QStringLiteral("qtbase_ja");
    if (translator->load(name, QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations")) ||
        translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
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
