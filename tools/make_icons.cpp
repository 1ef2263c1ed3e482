// Build step: the application icon at the sizes of the hicolor icon theme,
// scaled from the shipped picture. Usage: make_icons SOURCE.png OUTDIR SIZE...
// writes OUTDIR/SIZExSIZE/apps/com.halvorn.zemtra800.png for each size.
#include <QDir>
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_icons SOURCE.png OUTDIR SIZE...\n");
        return 2;
    }
    const QImage source(QString::fromLocal8Bit(argv[1]));
    if (source.isNull()) {
        std::fprintf(stderr, "make_icons: cannot read %s\n", argv[1]);
        return 1;
    }
    const QImage picture = source.convertToFormat(QImage::Format_ARGB32);
    for (int i = 3; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0) {
            std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        QDir().mkpath(dir);
        const QImage icon = size == picture.width() && size == picture.height()
                                ? picture
                                : picture.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (!icon.save(dir + QStringLiteral("/com.halvorn.zemtra800.png"))) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
