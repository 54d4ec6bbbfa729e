// artgen: paints every picture of assets/.
//
//   artgen OUTDIR [--version-from CMakeLists.txt]   write the pictures
//   artgen --check DIR                             check pictures already there
//   artgen --verify-fresh DIR                      write into DIR, then check it
//
// Runs without a display (it forces the offscreen platform).
#include "canvas.h"
#include "check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <cstdio>
#include <exception>

namespace {

void say(const QString& s)
{
    std::fprintf(stderr, "%s\n", qPrintable(s));
}

QString readVersion(const QString& cmakeLists)
{
    QFile f(cmakeLists);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return artgen::projectVersion(QString::fromUtf8(f.readAll()));
}

bool save(const QImage& img, const QString& file, bool jpeg)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QImage out = img;
    out.setDevicePixelRatio(1.0);
    if (jpeg)
        return out.convertToFormat(QImage::Format_RGB32).save(file, "JPG", 90);
    // PNG "quality" 0 is zlib's strongest compression.
    return out.convertToFormat(QImage::Format_ARGB32).save(file, "PNG", 0);
}

int generate(const QString& outDir, const QString& version)
{
    int written = 0;
    for (const artgen::Asset& a : artgen::allAssets(version)) {
        const QString file = outDir + QLatin1Char('/') + a.path;
        if (!save(artgen::render(a, 1.0), file, a.jpeg)) {
            say(QStringLiteral("cannot write %1").arg(file));
            return 1;
        }
        ++written;
        if (!a.jpeg) {
            const QString twin = outDir + QLatin1Char('/') + artgen::twinPath(a.path);
            if (!save(artgen::render(a, 2.0), twin, false)) {
                say(QStringLiteral("cannot write %1").arg(twin));
                return 1;
            }
            ++written;
        }
    }
    say(QStringLiteral("wrote %1 pictures to %2 (version %3)").arg(written).arg(outDir, version));
    return 0;
}

int check(const QString& dir)
{
    const QStringList errors = artgen::checkAssets(dir, artgen::allAssets(QStringLiteral("0.0.0")));
    for (const QString& e : errors)
        say(e);
    say(QStringLiteral("%1 problem(s) in %2").arg(errors.size()).arg(dir));
    return errors.isEmpty() ? 0 : 1;
}

// The version must come from project(), never from cmake_minimum_required().
int checkVersionParsing()
{
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"project(beamlet VERSION 1.0.0 LANGUAGES CXX)", "1.0.0"},
        {"cmake_minimum_required(VERSION 3.21)\nproject(\n  beamlet\n  VERSION 2.13.4\n)", "2.13.4"},
        {"cmake_minimum_required(VERSION 3.21.0)\nproject(beamlet LANGUAGES CXX)", ""},
        {"PROJECT(beamlet VERSION 1.2.3)", "1.2.3"},
        {"project(beamlet VERSION 1.2)", ""},
    };
    int failures = 0;
    for (const auto& c : cases) {
        const QString got = artgen::projectVersion(QString::fromLatin1(c.text));
        if (got != QLatin1String(c.expected)) {
            say(QStringLiteral("version of \"%1\": got \"%2\", expected \"%3\"")
                    .arg(QString::fromLatin1(c.text), got, QString::fromLatin1(c.expected)));
            ++failures;
        }
    }
    return failures;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    QString versionFrom = QStringLiteral(ARTGEN_PROJECT_CMAKELISTS);
    if (const int i = args.indexOf(QStringLiteral("--version-from")); i >= 0 && i + 1 < args.size()) {
        versionFrom = args[i + 1];
        args.remove(i, 2);
    }
    if (args.size() == 2 && args[0] == QLatin1String("--check"))
        return check(args[1]);
    const bool verify = args.size() == 2 && args[0] == QLatin1String("--verify-fresh");
    if (!(args.size() == 1 && !args[0].startsWith(QLatin1String("--"))) && !verify) {
        say(QStringLiteral("usage: artgen OUTDIR [--version-from CMakeLists.txt] | --check DIR | --verify-fresh DIR"));
        return 2;
    }
    const QString outDir = args.last();

    if (const QString missing = artgen::loadFonts(); !missing.isEmpty()) {
        say(QStringLiteral("missing fonts: %1").arg(missing));
        return 1;
    }
    const QString version = readVersion(versionFrom);
    if (version.isEmpty()) {
        say(QStringLiteral("no project(... VERSION x.y.z) in %1").arg(versionFrom));
        return 1;
    }
    try {
        if (verify) {
            const int parsing = checkVersionParsing();
            QDir(outDir).removeRecursively();
            const int generated = generate(outDir, version);
            const int checked = generated ? 1 : check(outDir);
            const int failed = (parsing ? 1 : 0) + generated + checked;
            std::printf("%d passed, %d failed\n", 3 - failed, failed);
            return failed ? 1 : 0;
        }
        return generate(outDir, version);
    } catch (const std::exception& e) {
        say(QString::fromUtf8(e.what()));
        return 1;
    }
}
