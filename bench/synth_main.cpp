#include "SyntheticCatalogue.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

// vorn-synth DATA_FOLDER [--discs N] [--files M] [--seed S]: writes a synthetic catalogue.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("data folder to fill"));
    parser.addOption(
        {QStringLiteral("discs"), QStringLiteral("number of discs"), QStringLiteral("N"), QStringLiteral("100")});
    parser.addOption(
        {QStringLiteral("files"), QStringLiteral("files per disc"), QStringLiteral("M"), QStringLiteral("1000")});
    parser.addOption(
        {QStringLiteral("first"), QStringLiteral("first identifier"), QStringLiteral("ID"), QStringLiteral("1000")});
    parser.addOption(
        {QStringLiteral("seed"), QStringLiteral("random seed"), QStringLiteral("S"), QStringLiteral("20061215")});
    parser.addHelpOption();
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    vorn::bench::SyntheticOptions options;
    options.discs = parser.value(QStringLiteral("discs")).toInt();
    options.filesPerDisc = parser.value(QStringLiteral("files")).toInt();
    options.firstIdentifier = parser.value(QStringLiteral("first")).toInt();
    options.seed = parser.value(QStringLiteral("seed")).toUInt();
    QTemporaryDir temp;
    if (!vorn::bench::writeSyntheticCatalogue(parser.positionalArguments().first(), temp.path(), options)) {
        std::fprintf(stderr, "vorn-synth: could not write the catalogue\n");
        return 1;
    }
    return 0;
}
