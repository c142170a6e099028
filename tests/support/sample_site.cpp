#include "support/sample_site.h"

#include <QDir>

namespace tanka::test {

ScopedEnv::ScopedEnv(std::initializer_list<const char*> names) {
    for (const char* name : names)
        m_saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
}

ScopedEnv::~ScopedEnv() {
    for (const Saved& s : m_saved) {
        if (s.had)
            qputenv(s.name, s.value);
        else
            qunsetenv(s.name);
    }
}

SampleSite::SampleSite(const sample::Options& options)
    : install(sample::writeSampleInstall(m_dir.path(), options)), drive(install.driveC) {
    install.applyEnvironment();
}

QString SampleSite::workFile(const QString& name) const {
    return QDir(install.workDir).filePath(name);
}

void SampleSite::sql(const QString& database, const QStringList& statements) const {
    sample::execSql(file(database), statements);
}

} // namespace tanka::test
