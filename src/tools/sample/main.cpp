// tanka-sample: writes a sample point-of-sale installation into OUTDIR and
// prints the environment that points the program at it.

#include <cstdio>
#include <exception>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include "tools/sample/sample_install.h"

namespace {

int usageError(const QString& text) {
    std::fprintf(stderr, "tanka-sample: %s\n", qPrintable(text));
    return 2;
}

bool readCount(const QCommandLineParser& parser, const QString& name, int& value) {
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    return ok && value >= 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tanka-sample"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes a sample installation (drive C folder, settings file, "
                       "SQLite databases) into OUTDIR."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("headquarters"), QStringLiteral("Headquarters installation.")},
        {QStringLiteral("product"), QStringLiteral("Product line: ZEMA, KOTA or MIRO."),
         QStringLiteral("name"), QStringLiteral("ZEMA")},
        {QStringLiteral("stores"), QStringLiteral("Number of stores (ids 1..N)."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("rows"), QStringLiteral("Rows per store in MTGIJU and MTTENP."),
         QStringLiteral("N")},
        {QStringLiteral("slots-giju"),
         QStringLiteral("Technical menu price slots: A, B, both, mixed or none."),
         QStringLiteral("slots"), QStringLiteral("A")},
        {QStringLiteral("slots-ten"),
         QStringLiteral("Retail price slots: A, B, both, mixed or none."), QStringLiteral("slots"),
         QStringLiteral("A")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the sample data."), QStringLiteral("N"),
         QStringLiteral("1")},
    });
    parser.addPositionalArgument(QStringLiteral("OUTDIR"),
                                 QStringLiteral("Folder to write the installation into."));
    parser.process(app);

    const QStringList args = parser.positionalArguments();
    if (args.size() != 1)
        return usageError(QStringLiteral("exactly one OUTDIR is needed (see --help)"));

    tanka::sample::Options options;
    options.headquarters = parser.isSet(QStringLiteral("headquarters"));
    const auto product = tanka::sample::productFromName(parser.value(QStringLiteral("product")));
    const auto technical = tanka::sample::slotsFromName(parser.value(QStringLiteral("slots-giju")));
    const auto retail = tanka::sample::slotsFromName(parser.value(QStringLiteral("slots-ten")));
    if (!product)
        return usageError(QStringLiteral("unknown product line"));
    if (!technical || !retail)
        return usageError(QStringLiteral("slots must be A, B, both, mixed or none"));
    options.product = *product;
    options.technicalSlots = *technical;
    options.retailSlots = *retail;

    int rows = -1;
    int seed = 1;
    if (!readCount(parser, QStringLiteral("stores"), options.stores) || options.stores < 1 ||
        options.stores > 32767 || !readCount(parser, QStringLiteral("rows"), rows) ||
        !readCount(parser, QStringLiteral("seed"), seed))
        return usageError(QStringLiteral("counts must be whole numbers (stores at least 1)"));
    if (rows >= 0)
        options.technicalRows = options.retailRows = rows;
    options.seed = static_cast<std::uint32_t>(seed);

    try {
        const auto sample = tanka::sample::writeSampleInstall(args.front(), options);
        std::printf("TANKA_DRIVE_C=%s\nTANKA_SQLITE_DIR=%s\n",
                    qPrintable(QDir::toNativeSeparators(sample.driveC)),
                    qPrintable(QDir::toNativeSeparators(sample.sqliteDir)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tanka-sample: %s\n", e.what());
        return 1;
    }
    return 0;
}
