// vx-make-sheet: writes a generated label sheet to a file, for timing the whole `cutjob build`.
// Prints "pageHeight pageWidth paths segments bytes" so a script can pass the page size on.

#include "SheetGenerator.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "Usage: vx-make-sheet PATHS SEGMENTS_PER_PATH OUT.plt\n");
        return 1;
    }
    SheetSpec spec;
    spec.paths = std::atoi(argv[1]);
    spec.segmentsPerPath = std::atoi(argv[2]);
    if (spec.paths < 1 || spec.segmentsPerPath < 8) {
        std::fprintf(stderr, "vx-make-sheet: PATHS >= 1 and SEGMENTS_PER_PATH >= 8\n");
        return 1;
    }
    const Sheet sheet = generateLabelSheet(spec);
    QFile file(QString::fromLocal8Bit(argv[3]));
    if (!file.open(QIODevice::WriteOnly) || file.write(sheet.plt) != sheet.plt.size()) {
        std::fprintf(stderr, "vx-make-sheet: cannot write %s\n", argv[3]);
        return 1;
    }
    std::printf("%d %d %d %lld %d\n", sheet.pageHeight, sheet.pageWidth, sheet.paths,
                static_cast<long long>(sheet.segments), int(sheet.plt.size()));
    return 0;
}
