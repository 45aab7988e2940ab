// vx-boundary-corpus: the boundary-against-print comparison of the corpus test, over any
// drawings. Prints one line per drawing ("pass" or "FAIL", the two shares, the file) and exits 1
// when any drawing fails. scripts/boundary-corpus picks drawings and sums up.

#include "BoundaryCoverage.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    bool allPass = true;
    for (const QString &file : app.arguments().mid(1)) {
        const Result<BoundaryCoverage::Shares> shares = BoundaryCoverage::compare(file);
        if (!shares) {
            out << "ERROR " << file << ": " << QString(shares.error()).simplified() << '\n';
            allPass = false;
            continue;
        }
        allPass = allPass && shares->passes();
        out << (shares->passes() ? "pass" : "FAIL")
            << QStringLiteral(" outside %1 % unprinted %2 % contours %3 ")
                   .arg(shares->printedOutside * 100, 0, 'f', 2)
                   .arg(shares->contourUnprinted * 100, 0, 'f', 2)
                   .arg(shares->contours)
            << file << '\n';
        out.flush();
    }
    return allPass ? 0 : 1;
}
