// The program's pictures drawn at build time, at the sizes the frame shows
// them, so that start-up reads small PNG images instead of drawing SVG:
//   picturegen OUT.cpp SIZES SVG...
// SIZES is a comma-separated list of sides in pixels; each SVG is drawn at
// each side, as ProgramPicture draws it, into a PNG kept as bytes in OUT.cpp,
// found there by BuiltPicture(key, side) (the key is the SVG's file name
// without ".svg").
#include <QBuffer>
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
            QByteArray png;
            QBuffer buf(&png);
            buf.open(QIODevice::WriteOnly);
            img.save(&buf, "PNG");
            arrays << "const unsigned char p" << n << "[] = {";
            for (int b = 0; b < png.size(); ++b)
                arrays << (b % 20 == 0 ? "\n" : "") << static_cast<int>(static_cast<unsigned char>(png[b])) << ",";
            arrays << "};\n";
            table << "    {\"" << key << "\", " << side << ", p" << n << ", sizeof p" << n << "},\n";
            ++n;
        }
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "// Made by picturegen from the pictures' SVG files: not to be edited.\n"
           "#include <QByteArray>\n#include <cstring>\n#include <string>\n\nnamespace {\n"
        << arrays.str()
        << "struct Built {\n    const char* key;\n    int side;\n    const unsigned char* png;\n"
           "    unsigned long size;\n};\nconst Built built[] = {\n"
        << table.str()
        << "};\n}  // namespace\n\n"
           "// The PNG image of the picture drawn at build time at this side, or empty.\n"
           "QByteArray BuiltPicture(const std::string& key, int side) {\n"
           "    for (const Built& b : built)\n"
           "        if (b.side == side && key == b.key)\n"
           "            return QByteArray::fromRawData(reinterpret_cast<const char*>(b.png), "
           "static_cast<qsizetype>(b.size));\n"
           "    return {};\n}\n";
    return out ? 0 : 1;
}
