// The program's pictures drawn at build time, at the sizes the frame shows
// them, so that start-up takes their pixels as they are instead of drawing
// SVG (or decoding an image file: a PNG decoder's setting-up alone costs more
// than the pixels of a 24-pixel picture):
//   picturegen OUT.cpp SIZES SVG...
// SIZES is a comma-separated list of sides in pixels; each SVG is drawn at
// each side, as ProgramPicture draws it, and its pixels (premultiplied ARGB,
// a 32-bit word each) kept in OUT.cpp, found there by BuiltPicture(key,
// side) (the key is the SVG's file name without ".svg").
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "ToolArgs.h"

int main(int argc, char** argv) {
    const char* usage = "usage: picturegen OUT.cpp SIZES SVG...\n";
    if (auto end = ToolArgs::EndEarly(ToolArgs::Args(argc, argv), usage)) return *end;
    if (argc < 4) {
        std::fputs(usage, stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList sides = QString::fromLocal8Bit(argv[2]).split(',');
    std::ostringstream arrays, table;
    int n = 0;
    for (int i = 3; i < argc; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i]);
        QSvgRenderer svg(file);
        if (!svg.isValid()) {
            std::fprintf(stderr, "picturegen: %s is no SVG picture\n", argv[i]);
            return 1;
        }
        const std::string key = QFileInfo(file).completeBaseName().toStdString();
        for (const QString& s : sides) {
            const int side = s.toInt();
            if (side <= 0) return 2;
            QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
            img.fill(Qt::transparent);
            {
                QPainter p(&img);
                p.setRenderHint(QPainter::Antialiasing);
                svg.render(&p);
            }
            arrays << "const quint32 p" << n << "[] = {" << std::hex;
            for (int y = 0; y < side; ++y) {
                const auto* line = reinterpret_cast<const quint32*>(img.constScanLine(y));
                for (int x = 0; x < side; ++x) arrays << (x % 8 == 0 ? "\n" : "") << "0x" << line[x] << ",";
            }
            arrays << std::dec << "};\n";
            table << "    {\"" << key << "\", " << side << ", p" << n << "},\n";
            ++n;
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Made by picturegen from the pictures' SVG files: not to be edited.\n"
           "#include <QImage>\n#include <string>\n\nnamespace {\n"
        << arrays.str()
        << "struct Built {\n    const char* key;\n    int side;\n    const quint32* pixels;\n};\n"
           "const Built built[] = {\n"
        << table.str()
        << "};\n}  // namespace\n\n"
           "// The picture drawn at build time at this side (its pixels, not copied),\n"
           "// or a null image.\n"
           "QImage BuiltPicture(const std::string& key, int side) {\n"
           "    for (const Built& b : built)\n"
           "        if (b.side == side && key == b.key)\n"
           "            return QImage(reinterpret_cast<const uchar*>(b.pixels), side, side, side * 4,\n"
           "                          QImage::Format_ARGB32_Premultiplied);\n"
           "    return {};\n}\n";
    return out ? 0 : 1;
}
