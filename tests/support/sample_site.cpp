#include "support/sample_site.h"

#include <QCoreApplication>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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

sample::Options storeOptions(int stores, std::int16_t own) {
    sample::Options o;
    o.stores = stores;
    o.storeId = own;
    o.technicalRows = 6;
    o.retailRows = 5;
    o.deletedEvery = 4;
    return o;
}

sample::Options withSlots(sample::Options o, sample::Slots technical, sample::Slots retail) {
    o.technicalSlots = technical;
    o.retailSlots = retail;
    return o;
}

sample::Options headquartersOptions(int stores) {
    sample::Options o = storeOptions(stores, 1);
    o.headquarters = true;
    return o;
}

SampleSite::SampleSite(const sample::Options& options)
    : install(sample::writeSampleInstall(m_dir.path(), options)), drive(install.driveC) {
    install.applyEnvironment();
}

QString SampleSite::workFile(const QString& name) const {
    return QDir(install.workDir).filePath(name);
}

void SampleSite::editIni(const QByteArray& from, const QByteArray& to) const {
    QFile ini(install.iniFile);
    ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
    const QByteArray text = ini.readAll().replace(from, to);
    ini.resize(0);
    ini.seek(0);
    ini.write(text);
}

void SampleSite::sql(const QString& database, const QStringList& statements) const {
    sample::execSql(file(database), statements);
}

QString binPath(const QString& name) {
    QString dir = qEnvironmentVariable("TANKA_TEST_BIN_DIR");
    if (dir.isEmpty() && QCoreApplication::instance())
        dir = QCoreApplication::applicationDirPath();
#ifdef _WIN32
    // The command line is the console program tanka.com; tanka.exe is the window.
    return dir + u'/' + name + (name == u"tanka" ? QStringLiteral(".com") : QStringLiteral(".exe"));
#else
    return dir + u'/' + name;
#endif
}

} // namespace tanka::test
