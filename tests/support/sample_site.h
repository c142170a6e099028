#pragma once
// A sample installation in a temporary folder, with TANKA_DRIVE_C and
// TANKA_SQLITE_DIR pointed at it for the fixture's lifetime (their previous
// values come back afterwards).

#include <initializer_list>
#include <vector>

#include <QByteArray>
#include <QTemporaryDir>

#include "install/drive_map.h"
#include "tools/sample/sample_install.h"

namespace tanka::test {

// Sets environment variables and restores (or removes) them on destruction.
class ScopedEnv {
public:
    ScopedEnv(std::initializer_list<const char*> names);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    struct Saved {
        const char* name;
        bool had;
        QByteArray value;
    };
    std::vector<Saved> m_saved;
};

// Sample options of a small store or headquarters installation (every fourth
// row deleted), and the same with the given slot states of the two menus.
sample::Options storeOptions(int stores = 1, std::int16_t own = 1);
sample::Options headquartersOptions(int stores);
sample::Options withSlots(sample::Options o, sample::Slots technical, sample::Slots retail);

class SampleSite {
public:
    explicit SampleSite(const sample::Options& options = {});
    SampleSite(const SampleSite&) = delete;
    SampleSite& operator=(const SampleSite&) = delete;

    QString path() const { return m_dir.path(); }
    // The SQLite file of one of the sample's databases ("MSTORI", ...).
    QString file(const QString& database) const { return install.databaseFile(database); }
    QString mstori() const { return file(QStringLiteral("MSTORI")); }
    QString workFile(const QString& name) const;
    // Runs statements on one of the sample's databases, outside any connection.
    void sql(const QString& database, const QStringList& statements) const;
    // Replaces a text in the settings file.
    void editIni(const QByteArray& from, const QByteArray& to) const;

private:
    ScopedEnv m_env{"TANKA_DRIVE_C", "TANKA_SQLITE_DIR"};
    QTemporaryDir m_dir;

public:
    const sample::SampleInstall install;
    const DriveMap drive;
};

// A program built beside the tests (bin/name), unless the build names the
// folder. On Windows "tanka" is the console program tanka.com.
QString binPath(const QString& name);

} // namespace tanka::test
