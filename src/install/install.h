#pragma once
// Installation discovery and the settings file of the point-of-sale product.

#include <cstdint>

#include <QString>
#include <QVariant>

#include "core/globals.h"
#include "install/drive_map.h"
#include "install/system_env.h"

namespace tanka {

// Where the discovery looks: the drive map and the system environment.
struct InstallContext {
    const DriveMap& drive;
    const SystemEnv& env;
};

// Sets g.installDrive, g.installFolder, g.settingsFileName and g.ownStoreId from the six
// candidate installations. installDrive stays empty when none is usable.
void findInstallation(Globals& g, const InstallContext& ctx);

// Value of Key in section "LUMINA" of the settings file, trimmed, at most 250
// characters; empty when the file or key is missing.
QString readSetting(const Globals& g, const InstallContext& ctx, const QString& key);
bool settingsFileExists(const Globals& g, const InstallContext& ctx);
QString programFolder(const Globals& g, const InstallContext& ctx);
QString windowsFolder(const InstallContext& ctx);

bool splitText(const QString& source, const QString& delimiter, QString& before, QString& after,
               bool fromEnd);
// find may be changed to the NUL character when it is empty.
QString replaceText(const QVariant& value, QString& find, const QString& repl);

// The settings-file reader: GetPrivateProfileStringA's rules on a file read as
// CP932 (host path). Returns a null QString when the file, section or key is
// missing; otherwise the value, trimmed, unquoted and cut to maxChars.
QString readProfileString(const QString& hostFile, const QString& section, const QString& key,
                          int maxChars = 250);

} // namespace tanka
