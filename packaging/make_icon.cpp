// Writes the program's icon for the desktop's icon theme, one PNG per size:
// DIR/SIZE/NAME.png. The picture and its scaling are the window icon's own.
// Usage: make_icon DIR NAME SIZE...

#include "runtime/qt/AppIcon.h"

#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_icon DIR NAME SIZE...\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QImage icon = vantorel::qt::appIcon(size);
        const QString folder = dir + '/' + QString::number(size);
        const QString file = folder + '/' + name + ".png";
        if (size <= 0 || icon.isNull() || !QDir().mkpath(folder) || !icon.save(file, "PNG")) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
