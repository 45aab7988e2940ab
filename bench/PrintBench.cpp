// vx-print-bench: times opening a sheet of photo stickers in the built-in host and printing it
// to a file, as the host window's File > Print does with "Print to file" chosen; the goal for the
// 72 MB sheet is under 10 s. Prints one line per step with its processor time (all threads),
// which a busy machine does not inflate: "open 1.23 s (cpu 1.10 s)".
//   vx-print-bench photos MEGABYTES OUT.pdf   a generated sheet of that size (kept beside OUT)
//   vx-print-bench sheet FILE.svg OUT.pdf      a sheet of your own

#include "PictureSheets.h"
#include "host/CdrConnection.h"
#include "host/InProcessHost.h"
#include "host/builtin/BuiltinHost.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <ctime>

namespace {

Result<QString> sheetFor(const QStringList &args)
{
    if (args.size() != 3 || (args[0] != "photos" && args[0] != "sheet"))
        return Failure{QStringLiteral("usage: vx-print-bench photos MEGABYTES OUT.pdf | "
                                      "vx-print-bench sheet FILE.svg OUT.pdf")};
    if (args[0] == "sheet")
        return args[1];
    const QString path = args[2] + QStringLiteral(".svg");
    QFile file(path);
    const QByteArray svg = photoSheetSvg(args[1].toInt());
    if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size())
        return Failure{QStringLiteral("cannot write %1").arg(path)};
    std::printf("sheet %s, %.1f MB\n", qPrintable(path), svg.size() / 1e6);
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const Result<QString> sheet = sheetFor(args);
    if (!sheet) {
        std::fprintf(stderr, "%s\n", qPrintable(sheet.error()));
        return 2;
    }
    BuiltinHost &host = BuiltinHost::instance();
    QElapsedTimer clock;
    clock.start();
    std::clock_t cpu = std::clock();
    const auto cpuSeconds = [&cpu] {
        const std::clock_t now = std::clock();
        const double seconds = double(now - cpu) / CLOCKS_PER_SEC;
        cpu = now;
        return seconds;
    };
    if (const Result<HostDocument::Ptr> opened = host.openDocument(*sheet); !opened) {
        std::fprintf(stderr, "open: %s\n", qPrintable(opened.error()));
        return 1;
    }
    std::printf("open %.2f s (cpu %.2f s)\n", clock.restart() / 1000.0, cpuSeconds());
    const InProcessHost::ScopedChoices printTo({{}, {}, args[2]});
    host.setPrintDialogAnswer([] { return true; });
    CdrConnection connection(QStringLiteral("CorelDraw.Application.17"));
    if (!connection.printDocument().ok()) {
        std::fprintf(stderr, "print: %s\n", qPrintable(connection.detail()));
        return 1;
    }
    std::printf("print %.2f s (cpu %.2f s), %.1f MB\n", clock.elapsed() / 1000.0, cpuSeconds(),
                QFile(args[2]).size() / 1e6);
    return 0;
}
