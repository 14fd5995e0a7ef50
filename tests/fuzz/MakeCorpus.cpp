// Writes the seed corpus of the fuzz targets: files made by the program's own
// writers from the tests' small database, plus the sample database source.
// Run from the source folder: fuzz_make_corpus tests/fuzz/corpus
#include <QTextDocument>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "BinFile.h"
#include "DataBase.h"
#include "FuzzSupport.h"
#include "GenDescr.h"
#include "GoldenRtf.h"
#include "LowLevel.h"
#include "ResultRender.h"
#include "ResultSet.h"
#include "SettingsStore.h"
#include "TextConstants.h"
#include "TextDisplay.h"
#include "ToolArgs.h"
#include "UserFile.h"

namespace fs = std::filesystem;

namespace {

std::string root;

void Put(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(root + "/" + target);
    fuzz::WriteFile(root + "/" + target + "/" + name, bytes);
}

// Description lines of the small database, with links and help marks.
std::vector<std::string> DescriptionLines() {
    GenDescr::DescrFlags flags;
    flags.withAtomLinks = flags.withHelpLinks = flags.richText = true;
    std::vector<std::string> lines;
    for (const char* n : {"naAnna", "naPeter", "gnAnna"}) {
        ResultSet rs;
        rs.InitInt();
        atom* a = DataBase::GetAtom(n);
        if (n[0] == 'g') GenDescr::DescribeGroup(a, rs, flags);
        else GenDescr::DescribeName(a, rs, flags);
        for (int32_t i = 0; i < rs.numLines(); ++i) lines.push_back(rs.line(i));
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    const char* usage = "usage: fuzz_make_corpus DIR   write the seed corpus into DIR/<target>/\n";
    if (auto end = ToolArgs::EndEarly(ToolArgs::Args(argc, argv), usage)) return *end;
    if (argc != 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    root = argv[1];
    fuzz::FreshServices();
    fuzz::BuildSmallDb();

    // The database file and its hit-parade blocks.
    const std::string db = fuzz::TempPath("small.bin");
    if (!DataBase::WriteBinFile(db).ok) return 1;
    Put("database", "small.bin", fuzz::ReadFile(db));
    Put("ondemand", "small.bin", fuzz::ReadFile(db));

    // Description lines: mark-up, the rich-text chain and the RTF.
    const std::vector<std::string> lines = DescriptionLines();
    std::string all;
    int n = 0;
    for (const std::string& line : lines) {
        if (line.find('<') == std::string::npos) continue;
        Put("markup", "descr" + std::to_string(n), line);
        Put("richtext", "descr" + std::to_string(n), line);
        ++n;
    }
    Put("markup", "hand", "<small><indent><em>A<b>b<a>5</a></b>\t<a>40003</a> <c>255</c><a>x</a><b>");
    Put("richtext", "hand", "<b>Anna <a>7</a></b> {\\rtf} \xE9 <a>40001</a><a>9");
    for (std::size_t i = 0; i < lines.size(); ++i) all += lines[i] + "\n";
    {
        ResultSet rs;
        rs.InitInt();
        for (const std::string& line : lines) rs.AddResult(line, "", nullptr);
        rs.view.showLinks = true;
        TextDisplay td;
        td.Init("Corpus", nullptr, nullptr);
        const std::vector<uint32_t> colours(11, 0x123456);
        ResultRender::BuildDocument(rs, td, nullptr, colours);
        Put("rtf", "description.rtf", td.GetStr());
        TextDisplay golden;
        golden.Init("Golden", nullptr, nullptr);
        golden::Build(golden);
        Put("rtf", "golden.rtf", golden.GetStr());
    }

    // A list file and its registry form.
    {
        ResultSet rs;
        rs.InitInt();
        rs.setPureTitle("Anna und Peter");
        for (const char* n : {"naAnna", "naPeter", "gnAnna"}) {
            atom* a = DataBase::GetAtom(n);
            rs.AddResult(a->Text(), "Grund", a);
        }
        rs.AddResult("<b>frei</b> \xE4\xF6\xFC", "", nullptr);
        const std::string path = fuzz::TempPath("list.onl");
        if (!rs.Save(path)) return 1;
        Put("listfile", "three.onl", fuzz::ReadFile(path));
        ResultSet empty;
        empty.InitInt();
        if (!empty.Save(path)) return 1;
        Put("listfile", "empty.onl", fuzz::ReadFile(path));
    }

    // A settings store with what needs escaping.
    {
        MemorySettingsStore s;
        s.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Options", "ShowToolTips", "True");
        s.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Options", "LoadInitDir", "/home/u/Dokumente 100%, [alt]");
        s.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Windows", "SingleName", "10,20,300,400");
        s.Write("Software\\Quillmarsh\\Talvessin\\1.x\\Sets", "=Liste;", "0,1,Anna,x,naAnna,//\n\x01\xE4");
        s.Write("[odd]key", ";name", "value\r\n");
        Put("settings", "store", SerializeSettings(s));
    }

    // The user-names file as the program writes it, and one with a damaged record.
    {
        const std::string folder = fuzz::TempPath("docs");
        fs::create_directories(folder);
        LowLevel::DocumentsFolder = [folder](std::string& f) { return f = folder, true; };
        TextConstants::textLanguage = 1;
        atom* set = DataBase::GetAtom("seUserNames");
        if (set == DataBase::nothingAtom) set = DataBase::CreateAtom("seUserNames");
        DataBase::InitPropKinds();
        for (const char* n : {"naAnna", "naPeter"}) {
            Prop* p = DataBase::FindOrCreateProp(DataBase::GetAtom("prMember"), DataBase::GetAtom(n), "", true);
            set->AddProp(p);
        }
        if (!DataBase::SaveUserNames()) return 1;
        const std::string written = fuzz::ReadFile(folder + "/" + DataBase::UserFileName());
        Put("userfile", "written.txt", written);
        Put("userfile", "damaged.txt",
            "/* -- naX -- */\r\nprop(prText,naX,\"X\").\r\nprop(prGenName,naX,laGerman).\r\n\r\n"
            "/* -- naY -- */\r\nprop(prText,naY,\"Y\").\r\n");
        Put("userfile", "cut.txt", "/* -- naX -- */\r\nprop(prText,naX,\"X\").\r\n\r\n/* -- naY -- */\r\nprop(prText,naY,\"Y");
        Put("userfile", "link.txt",
            "/* -- liX -- */\r\nprop(prRelatedTo,liX,\"file:///etc/passwd\").\r\nprop(prMemberOf,liX,seLinks).\r\n\r\n"
            "/* -- naZ -- */\r\nprop(prText,naZ,\"" + std::string(40, 'Z') + "\").\r\n");
    }

    // Messages and link targets.
    Put("message", "table", std::string("\x21", 1));
    Put("message", "arg", std::string("\x66", 1) + std::string("\0", 1) + "/home/u/<b>Talv1User.txt</b>%0<br>");
    Put("message", "entry", std::string("\x02", 1) + "<GMtag>Text %0 und <b>fett</b><br>%0" + std::string("\0", 1) + "Arg");
    Put("links", "atom", std::string("\0" "5", 2));
    Put("links", "help", std::string("\x00", 1) + "40003");
    Put("links", "web", "\x01https://example.org/a b");
    Put("links", "mail", "\x01mailto:someone@example.org");
    Put("links", "attach", "\x01mailto:someone@example.org?subject=x&attach=/etc/passwd");
    Put("links", "file", "\x01file:///etc/passwd");

    // The sample database source, some files alone and the whole in its
    // reading order; the sample database file the build compiles from it.
    std::string source;
    for (const char* f : {"kinds.txt", "languages.txt", "topics.txt", "words.txt", "groups_male.txt",
                          "groups_female.txt", "saints.txt", "series.txt", "hitparades_us.txt", "quiz.txt",
                          "links.txt"}) {
        const std::string text = fuzz::ReadFile(std::string(SOURCE_DIR) + "/data/db/" + f);
        if (text.size() < 25000) Put("makedb", f, text);
        source += text + "\n";
    }
    Put("makedb", "sample.txt", source);
    const std::string sample = fuzz::ReadFile(std::string(BINARY_DIR) + "/bin/Talv1Dat.bin");
    if (!sample.empty()) {
        Put("database", "Talv1Dat.bin", sample);
        Put("ondemand", "Talv1Dat.bin", sample);
    }
    return 0;
}
