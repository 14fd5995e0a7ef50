#include "StdLists.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include "Basic.h"
#include "Cp1252.h"
#include "DataBase.h"
#include "ListMaking.h"
#include "ResultSet.h"
#include "Searches.h"
#include "TextConstants.h"
#include "WinMan.h"

using TextConstants::LangText;

namespace {

struct ListSpec {
    const char* button;
    const char* counter;
    int kindA, kindB;
    const char* germanTitle;  // UTF-8
    const char* englishTitle;
    const char* englishCaption;
    const char* germanTip;  // UTF-8
    const char* englishTip;
};

constexpr ListSpec kLists[StdLists::kNumLists] = {
    {"AllNames", "NumAllNames", 1, 0, ": alle Namen", ": All names", "All Names",
     "Alle vorhandenen Namen überhaupt als Liste übergeben", "Turn the total of all the available names into a list"},
    {"AllFemale", "NumAllFemale", 1, Basic::kNone, ": alle weiblichen Namen", ": All female names",
     "All Female Names", "Alle weiblichen Namen überhaupt als Liste übergeben",
     "Turn all available female names into a list"},
    {"AllMale", "NumAllMale", 0, Basic::kNone, ": alle männlichen Namen", ": All male names", "All Male Names",
     "Alle männlichen Namen überhaupt als Liste übergeben", "Turn all available male names into a list"},
    {"AllGenNames", "NumAllGenNames", 3, 2, ": alle Gruppen", ": All groups", "All Groups",
     "Alle vorhandenen Gruppen überhaupt als Liste übergeben",
     "Turn the total of all the available groups into a list"},
    {"AllGenFemale", "NumAllFemaleGen", 3, Basic::kNone, ": alle weiblichen Gruppen", ": All female groups",
     "All Female Groups", "Alle weiblichen Gruppen überhaupt als Liste übergeben",
     "Turn all available female groups into a list"},
    {"AllGenMale", "NumAllMaleGen", 2, Basic::kNone, ": alle männlichen Gruppen", ": All male groups",
     "All Male Groups", "Alle männlichen Gruppen überhaupt als Liste übergeben",
     "Turn all available male groups into a list"},
};

int32_t Count(StdLists::List which) {
    switch (which) {
    case StdLists::kAllNames: return DataBase::numAllNames;
    case StdLists::kAllFemale: return DataBase::numAllFemale;
    case StdLists::kAllMale: return DataBase::numAllMale;
    case StdLists::kAllGenNames: return DataBase::numAllGenNames;
    case StdLists::kAllGenFemale: return DataBase::numAllFemaleGen;
    case StdLists::kAllGenMale: return DataBase::numAllMaleGen;
    default: return 0;
    }
}

// The button pictures: figures in the kind colours of the lists (red female,
// blue male); a group is a figure on a card behind a second one.
QIcon Picture(StdLists::List which) {
    const bool group = which >= StdLists::kAllGenNames;
    const int gender = which % 3;  // 0 both, 1 female, 2 male
    auto figure = [](int x, const char* colour, bool female) {
        const std::string c = colour;
        const std::string xs = std::to_string(x);
        std::string s = "<circle cx='" + std::to_string(x + 7) + "' cy='8' r='4.5' fill='" + c + "'/>";
        if (female)
            s += "<path d='M" + std::to_string(x + 7) + " 13 L" + std::to_string(x + 14) + " 29 L" + xs +
                 " 29 Z' fill='" + c + "'/>";
        else
            s += "<rect x='" + std::to_string(x + 2) + "' y='14' width='10' height='15' rx='2' fill='" + c + "'/>";
        return s;
    };
    std::string body;
    if (group) body += "<rect x='1' y='1' width='38' height='30' rx='3' fill='#f3efe2' stroke='#8a7f5c'/>";
    if (gender == 0) body += figure(5, "#c0392b", true) + figure(21, "#1f4e9c", false);
    if (gender == 1) body += figure(13, "#c0392b", true);
    if (gender == 2) body += figure(13, "#1f4e9c", false);
    const std::string svg = "<svg xmlns='http://www.w3.org/2000/svg' width='40' height='32'>" + body + "</svg>";
    QSvgRenderer renderer(QByteArray::fromStdString(svg));
    QPixmap pix(80, 64);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    renderer.render(&p);
    return QIcon(pix);
}

}  // namespace

StdLists::StdLists() : ChildForm("StdLists") {}

void StdLists::BuildControls() {
    constexpr int kWidth = 470, kHeight = 196;
    SetClientSize(kWidth, kHeight);
    SetCaption("Standard-Listen");
    namesFrame_ = AddFrame("NamesFrame", "Namen", {8, 6, 224, 150});
    groupFrame_ = AddFrame("GroupFrame", "Gruppen", {238, 6, 224, 150});
    for (int i = 0; i < kNumLists; ++i) {
        QGroupBox* frame = i < 3 ? namesFrame_ : groupFrame_;
        const int y = 24 + (i % 3) * 42;
        auto* b = Add<CommandButton>(kLists[i].button, -1, frame);
        b->setGeometry(10, y, 140, 38);
        b->setIcon(Picture(static_cast<List>(i)));
        b->setIconSize(QSize(40, 32));
        auto* n = Add<QLabel>(kLists[i].counter, -1, frame);
        n->setGeometry(156, y, 60, 38);
        n->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        buttons_[static_cast<size_t>(i)] = b;
        counters_[static_cast<size_t>(i)] = n;
    }
    showHelp_ = AddHelpButton();
    showHelp_->setGeometry(kWidth - 88, 162, 80, 26);
    SetSizable(false);  // at its designed size
}

void StdLists::Form_Load() {
    suppressEvents = false;
    for (int i = 0; i < kNumLists; ++i) {
        const auto which = static_cast<List>(i);
        counters_[static_cast<size_t>(i)]->setText(QString::number(Count(which)));
        buttons_[static_cast<size_t>(i)]->onClick = [this, which] { List_Click(which); };
        Tip(buttons_[static_cast<size_t>(i)], Cp(kLists[i].germanTip), kLists[i].englishTip);
    }
    Tip(showHelp_, "Hilfe zum Fenster anzeigen", "Show help for this window");
    SetEnglishTexts();
}

void StdLists::SetEnglishTexts() {
    if (TextConstants::textLanguage != 1) return;
    SetCaption("Predefined Lists");
    namesFrame_->setTitle("Names");
    groupFrame_->setTitle("Groups");
    // English buttons say what they make instead of showing a picture.
    for (int i = 0; i < kNumLists; ++i) {
        buttons_[static_cast<size_t>(i)]->setIcon(QIcon());
        buttons_[static_cast<size_t>(i)]->SetCaption(kLists[i].englishCaption);
    }
    showHelp_->SetCaption("Help");
}

void StdLists::List_Click(List which) {
    if (which < 0 || which >= kNumLists) return;
    const ListSpec& s = kLists[which];
    MakeStdList(LangText(Cp(s.germanTitle), s.englishTitle), s.kindA, s.kindB);
}

void StdLists::MakeStdList(const std::string& title, int kindA, int kindB) {
    if (WinMan::ActionBlocked()) return;
    Services::HourglassOn();  // the list manager releases it
    ResultSet list;
    list.InitInt();
    ListMaking::FillByKinds(list, kindA, kindB);
    Searches::NewRes(title, list, Searches::kAlone);
}

void StdLists::OnNotify(int code, const std::string& text) {
    if (code != 3) return;
    if (text == "AllGenNames") List_Click(kAllGenNames);
    else if (text == "AllNames") List_Click(kAllNames);
}
