#include "install/install.h"

#include <array>

#include "core/field_readers.h"
#include "core/field_text.h"

namespace tanka {

namespace {

struct Candidate {
    const char16_t* directory; // probed for existence only
    const char16_t* folder;    // IniFolder: the program sub-folder
    const char16_t* iniName;
    bool readsMiseID; // MIRO lines leave the store number to the settings check
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

void Check_Install(Globals& g, const InstallContext& ctx) {
    for (const Candidate& c : kCandidates) {
        if (!ctx.drive.exists(QString::fromUtf16(c.directory)))
            continue;
        g.IniDrive = QStringLiteral("C:");
        g.IniFolder = QString::fromUtf16(c.folder);
        g.IniName = QString::fromUtf16(c.iniName);
        if (Get_IniData(g, ctx, QStringLiteral("MsTori")).isEmpty())
            continue;
        g.MyMiseID = c.readsMiseID ? Get_IntVal(Get_IniData(g, ctx, QStringLiteral("MiseID"))) : 0;
        return;
    }
    g.IniDrive.clear();
}

QString Get_IniData(const Globals& g, const InstallContext& ctx, const QString& key) {
    const QString base = Check_IniFile(g, ctx) ? Get_ProgPath(g, ctx) : Get_WinDir(ctx);
    const QString file = withBackslash(base) + g.IniName;
    const QString value = readProfileString(ctx.drive.hostPath(file), kSection, key, 250);
    QString nul;
    return Replace_Char(value, nul, QStringLiteral(" "));
}

bool Check_IniFile(const Globals& g, const InstallContext& ctx) {
    return ctx.drive.fileExists(Get_ProgPath(g, ctx) + g.IniName);
}

QString Get_ProgPath(const Globals& g, const InstallContext& ctx) {
    if (ctx.env.variable(QStringLiteral("SESSIONNAME")) != u"Console") {
        const QString home =
            g.IniDrive + ctx.env.variable(QStringLiteral("HOMEPATH")) + g.IniFolder;
        if (ctx.drive.fileExists(home + g.IniName))
            return home;
    }
    return g.IniDrive + g.IniFolder;
}

QString Get_WinDir(const InstallContext& ctx) {
    const QString systemDir = ctx.env.systemDirectory();
    if (systemDir.isEmpty())
        return QStringLiteral("Error");
    QString nul;
    QString before, after;
    Split_Str(Replace_Char(systemDir, nul, QStringLiteral(" ")), QStringLiteral("\\"), before,
              after, True);
    return before;
}

bool Split_Str(const QString& source, const QString& delimiter, QString& before, QString& after,
               std::int16_t fromEnd) {
    before.clear();
    after.clear();
    if (trimBlanks(source).isEmpty() || (fromEnd != True && fromEnd != False))
        return false;
    // An empty delimiter is taken to occur nowhere.
    const qsizetype at = delimiter.isEmpty() ? -1
                         : fromEnd == True   ? source.lastIndexOf(delimiter)
                                             : source.indexOf(delimiter);
    if (at < 0) {
        before = source;
        return true;
    }
    before = source.left(at);
    after = source.mid(at + delimiter.size());
    return true;
}

QString Replace_Char(const QVariant& value, QString& find, const QString& repl) {
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
