// Writes the client's icon as PNG files for the desktop entry at build time:
// draw_icon OUTPUT_FOLDER gives OUTPUT_FOLDER/SIZExSIZE/apps/lembrete-client.png for every size
// (the layout of an icon theme).
#include <QDir>
#include <cstdio>

#include "qt/host/app_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "uso: draw_icon PASTA\n");
        return 2;
    }
    for (const int size : lembrete::kAppIconSizes) {
        const QString folder =
            QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) ||
            !lembrete::drawAppIcon(size).save(folder + QStringLiteral("/lembrete-client.png"))) {
            std::fprintf(stderr, "draw_icon: não foi possível gravar em %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
