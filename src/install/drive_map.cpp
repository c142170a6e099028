#include "install/drive_map.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace tanka {

namespace {

// The components of a path on drive C: ("C:\A\B", "c:/a/b"), with "." and
// empty components dropped and ".." taking one component off (never going
// above the drive's root). False for another drive, a relative path or a
// network path.
bool driveCComponents(const QString& windowsPath, QStringList& components) {
    if (windowsPath.size() < 2 || windowsPath[0].toUpper() != u'C' || windowsPath[1] != u':')
        return false;
    const QStringView rest = QStringView(windowsPath).mid(2);
    if (!rest.isEmpty() && rest[0] != u'\\' && rest[0] != u'/')
        return false; // "C:name" is relative to the drive's current folder
    components.clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= rest.size(); ++i) {
        if (i < rest.size() && rest[i] != u'\\' && rest[i] != u'/')
            continue;
        const QStringView part = rest.mid(start, i - start);
        start = i + 1;
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            if (!components.isEmpty())
                components.removeLast();
            continue;
        }
        components.append(part.toString());
    }
    return true;
}

// The entry of folder dir named name without regard to case: the exact
// spelling when it exists, else the first match in name order, else name.
QString matchEntry(const QString& dir, const QString& name) {
    if (QFileInfo::exists(dir + u'/' + name))
        return name;
    const QStringList entries = QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    return name;
}

QString cleanRoot(const QString& root) {
    if (root.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(root).absoluteFilePath());
}

} // namespace

DriveMap::DriveMap(QString root) : m_root(cleanRoot(root)) {}

DriveMap DriveMap::fromEnvironment() {
    return DriveMap(qEnvironmentVariable("TANKA_DRIVE_C"));
}

// Without a root, Windows uses its paths as they stand; any other host has no
// drive C: at all, so nothing maps (a Windows path would otherwise name a
// file with backslashes in the current folder).
QString DriveMap::hostPath(const QString& windowsPath) const {
    if (m_root.isEmpty()) {
#ifdef Q_OS_WIN
        return windowsPath;
#else
        return {};
#endif
    }
    QStringList components;
    if (!driveCComponents(windowsPath, components))
        return {}; // names nothing: every existence test fails, no file opens
    QString path = m_root;
    bool lookUp = true; // below a missing folder nothing can match
    for (const QString& component : components) {
        const QString name = lookUp ? matchEntry(path, component) : component;
        if (!path.endsWith(u'/'))
            path += u'/';
        path += name;
        lookUp = lookUp && QFileInfo(path).isDir();
    }
    return path;
}

QString DriveMap::windowsPath(const QString& hostPath) const {
    if (m_root.isEmpty()) {
#ifdef Q_OS_WIN
        return QDir::toNativeSeparators(hostPath);
#else
        return {};
#endif
    }
    const QString clean = QDir::cleanPath(QFileInfo(hostPath).absoluteFilePath());
    if (clean == m_root)
        return QStringLiteral("C:\\");
    const QString prefix = m_root.endsWith(u'/') ? m_root : m_root + u'/';
    if (!clean.startsWith(prefix))
        return {};
    QString rest = clean.mid(prefix.size());
    rest.replace(u'/', u'\\');
    return QStringLiteral("C:\\") + rest;
}

bool DriveMap::fileExists(const QString& windowsPath) const {
    const QString path = hostPath(windowsPath);
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool DriveMap::dirExists(const QString& windowsPath) const {
    const QString path = hostPath(windowsPath);
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool DriveMap::exists(const QString& windowsPath) const {
    const QString path = hostPath(windowsPath);
    return !path.isEmpty() && QFileInfo::exists(path);
}

} // namespace tanka
