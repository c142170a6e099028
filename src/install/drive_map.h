#pragma once
// The program speaks of Windows paths ("C:\ZEMAH\TMP"). On Windows they are
// used as they stand; elsewhere the folder named by TANKA_DRIVE_C stands for
// drive C:, and each path component is looked up without regard to case, as
// Windows does ("\KOWin\" finds a folder named KOWIN).

#include <QString>

namespace tanka {

class DriveMap {
public:
    // root: the host folder that stands for C:\. Empty means paths are used as
    // they stand (Windows).
    explicit DriveMap(QString root = {});
    // From TANKA_DRIVE_C (empty when unset).
    static DriveMap fromEnvironment();

    const QString& root() const { return m_root; }

    // Host path of a Windows path. Existing components are matched without
    // regard to case; components that do not exist yet keep their spelling.
    // A path on another drive, or a relative one, gives a path that does not
    // exist on the host (never one outside the root).
    QString hostPath(const QString& windowsPath) const;
    // The Windows path ("C:\...") of a host path under the root, or empty when
    // the host path lies outside it.
    QString windowsPath(const QString& hostPath) const;

    bool fileExists(const QString& windowsPath) const; // a file, not a folder
    bool dirExists(const QString& windowsPath) const;  // a folder
    bool exists(const QString& windowsPath) const;     // either

private:
    QString m_root;
};

} // namespace tanka
