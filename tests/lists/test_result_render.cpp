// A list drawn into a rich-text document: links, help marks and literal columns.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "ListTestSupport.h"
#include "Options.h"
#include "ResultRender.h"
#include "TextDisplay.h"

namespace {

class ResultRenderTest : public testing::Test {
protected:
    void SetUp() override {
        Options::InitColors();
        saved_ = TextDisplay::Env();
        widths_.fill(5);
        TextDisplay::Env().widthsNormal = TextDisplay::Env().widthsBold = &widths_;
        td.Init("Test", nullptr, nullptr);
    }
    void TearDown() override { TextDisplay::Env() = saved_; }

    // The paragraphs of the list's document (after the header).
    std::vector<std::string> Paragraphs(Services::Progress* progress = nullptr) {
        ResultRender::BuildDocument(rs, td, progress, Options::OptColor);
        std::vector<std::string> out;
        const std::string& doc = td.GetStr();
        for (std::size_t pos = doc.find("\\pard"), next; pos != std::string::npos; pos = next) {
            next = doc.find("\\pard", pos + 1);
            out.push_back(doc.substr(pos, next == std::string::npos ? next : next - pos));
        }
        return out;
    }
    static bool Has(const std::string& s, const std::string& what) { return s.find(what) != std::string::npos; }

    TestAtoms atoms;
    atom* anna = atoms.Make("naAnna", 1, "Anna");
    ResultSet rs;
    TextDisplay td;
    CharWidths widths_{};
    TextDisplay::Environment saved_;
};

TEST_F(ResultRenderTest, ColumnsWithLinksOrLiterally) {
    rs.AddResult("see <a>" + std::to_string(anna->id()) + "</a>\t<b>x</b> <a>40003</a>", "", anna);
    const std::string plain = Paragraphs()[0];
    EXPECT_TRUE(Has(plain, "see <a>")) << plain;  // neither links nor colours: as written
    EXPECT_FALSE(Has(plain, "#40003"));

    rs.showLinks();
    RecordingProgress progress;
    const std::string linked = Paragraphs(&progress)[0];
    for (const std::string& part : std::vector<std::string>{"\\ul1 Anna\\ul0 ", "#" + std::to_string(anna->id()),
                                                            "\\b1 x\\b0 ", "\\b1 \\cf", "(?)", "#40003"})
        EXPECT_TRUE(Has(linked, part)) << part << " in " << linked;
    EXPECT_EQ(progress.values, std::vector<int>{1});
}

}  // namespace
