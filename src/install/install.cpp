#include "install/install.h"

#include <array>

#include "core/field_readers.h"
#include "core/field_text.h"

namespace tanka {

namespace {

struct Candidate {
    const char16_t* directory; // probed for existence only
    const char16_t* folder;    // installFolder: the program sub-folder
    const char16_t* iniName;
    bool readsStoreId; // MIRO lines leave the store number to the settings check
};

// Headquarters installations first. KOTA and MIRO share the program folder;
// the two spellings differ in case only and both find the same folder.
constexpr std::array<Candidate, 6> kCandidates{{
    {u"C:\\ZEMAH", u"\\ZEWIN\\", u"ZEMA.ini", true},
    {u"C:\\KOTAH", u"\\KOWin\\", u"KOTA.ini", true},
    {u"C:\\MIROH", u"\\KOWIN\\", u"MIRO.ini", false},
    {u"C:\\ZEMA", u"\\ZEWIN\\", u"ZEMA.ini", true},
    {u"C:\\KOTA", u"\\KOWin\\", u"KOTA.ini", true},
    {u"C:\\MIRO", u"\\KOWIN\\", u"MIRO.ini", false},
}};

const QString kSection = QStringLiteral("LUMINA");

QString withBackslash(const QString& folder) {
    return folder.endsWith(u'\\') ? folder : folder + u'\\';
}

} // namespace

void findInstallation(Globals& g, const InstallContext& ctx) {
    for (const Candidate& c : kCandidates) {
        if (!ctx.drive.exists(QString::fromUtf16(c.directory)))
            continue;
        g.installDrive = QStringLiteral("C:");
        g.installFolder = QString::fromUtf16(c.folder);
        g.settingsFileName = QString::fromUtf16(c.iniName);
        if (readSetting(g, ctx, QStringLiteral("MsTori")).isEmpty())
            continue;
        g.ownStoreId =
            c.readsStoreId ? readShortInteger(readSetting(g, ctx, QStringLiteral("MiseID"))) : 0;
        return;
    }
    g.installDrive.clear();
}

QString readSetting(const Globals& g, const InstallContext& ctx, const QString& key) {
    const QString base = settingsFileExists(g, ctx) ? programFolder(g, ctx) : windowsFolder(ctx);
    const QString file = withBackslash(base) + g.settingsFileName;
    const QString value = readProfileString(ctx.drive.hostPath(file), kSection, key, 250);
    QString nul;
    return replaceText(value, nul, QStringLiteral(" "));
}

bool settingsFileExists(const Globals& g, const InstallContext& ctx) {
    return ctx.drive.fileExists(programFolder(g, ctx) + g.settingsFileName);
}

QString programFolder(const Globals& g, const InstallContext& ctx) {
    if (ctx.env.variable(QStringLiteral("SESSIONNAME")) != u"Console") {
        const QString home =
            g.installDrive + ctx.env.variable(QStringLiteral("HOMEPATH")) + g.installFolder;
        if (ctx.drive.fileExists(home + g.settingsFileName))
            return home;
    }
    return g.installDrive + g.installFolder;
}

QString windowsFolder(const InstallContext& ctx) {
    const QString systemDir = ctx.env.systemDirectory();
    if (systemDir.isEmpty())
        return QStringLiteral("Error");
    QString nul;
    QString before, after;
    splitText(replaceText(systemDir, nul, QStringLiteral(" ")), QStringLiteral("\\"), before, after,
              true);
    return before;
}

bool splitText(const QString& source, const QString& delimiter, QString& before, QString& after,
               bool fromEnd) {
    before.clear();
    after.clear();
    if (trimBlanks(source).isEmpty())
        return false;
    // An empty delimiter is taken to occur nowhere.
    const qsizetype at = delimiter.isEmpty() ? -1
                         : fromEnd           ? source.lastIndexOf(delimiter)
                                             : source.indexOf(delimiter);
    if (at < 0) {
        before = source;
        return true;
    }
    before = source.left(at);
    after = source.mid(at + delimiter.size());
    return true;
}

QString replaceText(const QVariant& value, QString& find, const QString& repl) {
    QString text = fieldText(value);
    if (find.isEmpty())
        find = QString(QChar(u'\0'));
    if (find.size() == 1 && !repl.isEmpty()) {
        const QChar from = find[0];
        const QChar to = repl[0];
        for (QChar& c : text)
            if (c == from)
                c = to;
    }
    return trimBlanks(text);
}

} // namespace tanka
