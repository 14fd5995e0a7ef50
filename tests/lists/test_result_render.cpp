// A list drawn into a rich-text document: prefixes, dot leaders between the
// columns, links, help marks and literal columns.
#include <gtest/gtest.h>

#include <string>

#include "Fakes.h"
#include "ListTestSupport.h"
#include "Options.h"
#include "ResultRender.h"
#include "ResultSet.h"
#include "TextDisplay.h"

namespace {

class ResultRenderTest : public testing::Test {
protected:
    void SetUp() override {
        Options::InitColors();
        saved_ = TextDisplay::Env();
        widths_.fill(5);
        TextDisplay::Env().widthsNormal = &widths_;
        TextDisplay::Env().widthsBold = &widths_;
        td.Init("Test", nullptr, nullptr);
        anna = atoms.Make("naAnna", 1, "Anna");
    }
    void TearDown() override { TextDisplay::Env() = saved_; }

    // The document of the list, split into its paragraphs (after the header).
    std::vector<std::string> Paragraphs(Services::Progress* progress = nullptr) {
        ResultRender::BuildDocument(rs, td, progress, Options::OptColor);
        std::vector<std::string> out;
        const std::string& doc = td.GetStr();
        std::size_t pos = doc.find("\\pard");
        while (pos != std::string::npos) {
            std::size_t next = doc.find("\\pard", pos + 1);
            out.push_back(doc.substr(pos, next == std::string::npos ? std::string::npos : next - pos));
            pos = next;
        }
        return out;
    }

    TestAtoms atoms;
    atom* anna = nullptr;
    ResultSet rs;
    TextDisplay td;
    CharWidths widths_{};
    TextDisplay::Environment saved_;
};

bool Has(const std::string& s, const std::string& what) { return s.find(what) != std::string::npos; }

TEST_F(ResultRenderTest, DotLeadersSizesAndIndents) {
    rs.AddResult("Name\tAnna", "", nullptr);
    rs.AddResult("<em>Head\tline", "", nullptr);
    rs.AddResult("after", "", nullptr);
    rs.AddResult("<small>", "", nullptr);
    rs.AddResult("<indent>in\tdented", "", nullptr);
    rs.AddResult("<indent><small>x", "", nullptr);
    const auto p = Paragraphs();
    ASSERT_GE(p.size(), 6u);
    EXPECT_TRUE(Has(p[0], "Name . .")) << p[0];
    EXPECT_TRUE(Has(p[0], "\\tab Anna"));
    EXPECT_TRUE(Has(p[1], "\\fs24 Head\\tab line")) << p[1];  // an <em> line has no leaders
    EXPECT_TRUE(Has(p[2], "\\fs18 after"));
    EXPECT_TRUE(Has(p[3], "\\fs4 \\tab")) << p[3];
    EXPECT_TRUE(Has(p[4], "\\fi-2891\\li2891\\tx2891")) << p[4];  // 2 mm further right
    EXPECT_TRUE(Has(p[5], "\\tx2891\\ulnone\\f0\\fs18 <small>x")) << p[5];
    EXPECT_EQ(td.tabPosTwips(), 2778);
}

TEST_F(ResultRenderTest, ColumnsWithLinksOrLiterally) {
    const std::string line = "see <a>" + std::to_string(anna->id()) + "</a>\t<b>x</b> <a>40003</a>";
    rs.AddResult(line, "", anna);
    std::string plain = Paragraphs()[0];
    EXPECT_TRUE(Has(plain, "see <a>")) << plain;  // neither links nor colours: as written
    EXPECT_FALSE(Has(plain, "#40003"));

    rs.showLinks();
    RecordingProgress progress;
    std::string linked = Paragraphs(&progress)[0];
    EXPECT_TRUE(Has(linked, "\\ul1 Anna\\ul0 ")) << linked;
    EXPECT_TRUE(Has(linked, "#" + std::to_string(anna->id())));
    EXPECT_TRUE(Has(linked, "\\b1 x\\b0 "));
    EXPECT_TRUE(Has(linked, "\\b1 \\cf")) << linked;
    EXPECT_TRUE(Has(linked, "(?)"));
    EXPECT_TRUE(Has(linked, "#40003"));
    EXPECT_EQ(progress.values, std::vector<int>{1});
}

}  // namespace
